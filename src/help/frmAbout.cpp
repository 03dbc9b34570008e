#include "help/frmAbout.h"

#include "platform/core/Twips.h"
#include "platform/core/Version.h"
#include "platform/ui/AppSetup.h"
#include "platform/ui/Placement.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace {
// Stacked labels keep their designed line spacing.
constexpr Qt::Alignment kStacked = Qt::AlignLeft | Qt::AlignTop;
}  // namespace

frmAbout::frmAbout(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Selvaneのﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    resize(twips::toPixels(4245), twips::toPixels(1905));

    Picture1 = placeAt<QLabel>(this, "Picture1", 360, 120, 480, 480);
    Picture1->setPixmap(windowIcon().pixmap(QSize(32, 32)));  // the owner's icon: the application's
    Picture1->setAlignment(Qt::AlignCenter);

    // The large line is taller than its box: centred in it.
    Label1 = placeLabel(this, "Label1", QStringLiteral("Selvane"), 1080, 240, 2070, 405);
    Label1->setFont(appsetup::japaneseFont(20.25));

    Label2 = placeLabel(this, "Label2", QStringLiteral("Ver ") + QString::fromLatin1(kVersion), 2640, 720,
                        735, 375, kStacked);
    Label3 = placeLabel(this, "Label3", QStringLiteral("予測は目安。避妊には不向き"), 1080, 960, 2415, 255,
                        kStacked);

    cmdOK = placeAt<QPushButton>(this, "cmdOK", 2880, 1440, 1215, 375);
    cmdOK->setText(QStringLiteral("OK(&O)"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    cmdOK->setFocus();
}

void frmAbout::cmdOK_Click() { accept(); }
