// Shows one of the locked diary's dialogs as she would see it, for looking at under a screenshot tool:
//   show_vault_dialogs unlock|backup|set|change
#include "platform/ui/AppSetup.h"
#include "ui/vault/PassphraseDialogs.h"
#include "ui/vault/PassphrasePrompt.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    Q_INIT_RESOURCE(selvane);
    const QString which = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (which == u"unlock" || which == u"backup") {
        vaultui::UnlockDialog dialog(nullptr,
                                     which == u"backup" ? vaultui::kBackupPassphraseText : QString());
        return dialog.exec();
    }
    vaultui::PassphraseDialog dialog(which == u"change");
    return dialog.exec();
}
