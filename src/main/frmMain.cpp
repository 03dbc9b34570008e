#include "main/frmMain.h"

#include "data/DayChange.h"
#include "data/Recovery.h"
#include "data/SettingsStore.h"
#include "forecast/CycleForecast.h"
#include "help/HelpProcess.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ScreenFit.h"
#include "settings/SettingPrompt.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>
#include <QTextEdit>

namespace {
const QString kSaveQuestion = QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？");
const QString kSaveTitle = QStringLiteral("保存確認");
const QString kChangedQuestion = QStringLiteral(
    "この日のﾃﾞｰﾀは、表示した後にほかのﾌﾟﾛｸﾞﾗﾑで変更されています。\r"
    "編集した内容で保存しますか？\r（いいえ：変更されたﾃﾞｰﾀを表示します。編集した内容は破棄されます）");
}  // namespace

frmMain::frmMain(Module1& module, const Services& services, QWidget* parent)
    : QMainWindow(parent), m_(module), services_(services), helpProcess_(std::make_unique<HelpProcess>()) {
    buildLayout();
    buildMenus();
    buildToolbar();
    connectHandlers();
    addFeatures();
    screenfit::fit(this);
}

frmMain::~frmMain() = default;

QString frmMain::panelText(Panel panel) const { return panels_.value(int(panel))->text(); }

void frmMain::setPanelText(Panel panel, const QString& text) {
    QLabel* label = panels_.value(int(panel));
    label->setText(text);
    label->setToolTip(text);  // a long forecast text stays readable where the panel cuts it
}

// ---- Start-up and closing -------------------------------------------------------------------------

bool frmMain::Form_Load() {
    // Today is the selected day from the first moment, so that every command has a day to work on however
    // far the start-up below gets.
    m_.SelectedDate = services_.today();
    MonthView1->setSelectedDate(m_.SelectedDate);
    ShowSelectedDate();
    const QString path = paths::inFolder(services_.appFolder, kDataFileName);
    if (!QFileInfo(path).isFile()) {
        services_.dialogs->message(this, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません。強制終了します。"),
                                   QStringLiteral("ｴﾗｰ"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return false;
    }
    // What saves killed half-way left beside the diary goes first (a locked diary's may be sealed, a plain
    // one's not).
    AtomicFile::removeStale(path);
    AtomicFile::removeStale(paths::inFolder(services_.appFolder, recovery::kFileName));
    if (!allFeatures(&session::Feature::openAtStart)) return false;  // a locked diary's passphrase
    services_.dialogs->trapped(this, [&] {
        if (!m_.Db) m_.Db = DataFile::open(path);
        for (session::Feature* feature : features_) feature->diaryOpened();
        m_.CycleDays = services_.settings->get(settingkeys::kCycleSection, settingkeys::kKey,
                                               settingkeys::kCycleDefault);
        showCyclePanel();  // with the forecast from her records on, panel 2 shows their cycle
        m_.AverageTemp = jatext::readSingle(
            services_.settings->get(settingkeys::kTempSection, settingkeys::kKey, settingkeys::kTempDefault));
        setPanelText(Panel::Temperature, settingentry::temperaturePanelText(m_.AverageTemp));
        txtTemp->setText(jatext::shortestText(m_.AverageTemp));
        m_.SelectedDate = services_.today();
        MonthView1->setSelectedDate(m_.SelectedDate);
        ShowSelectedDate();
        UpdateCycleForecast();
        LoadDayRecord();
        m_.DataChanged = false;
    });
    return true;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (ending_ || Form_Unload()) {
        ending_ = true;
        event->accept();
        if (services_.endProcess) services_.endProcess();
    } else {
        event->ignore();
    }
}

bool frmMain::Form_Unload() {
    try {
        if (!m_.DataChanged) return true;
        if (services_.dialogs->askYesNo(this, kSaveQuestion, kSaveTitle))
            // A declined overwrite or a failed save keeps the window open with its edits.
            return SaveDayRecord() == SaveResult::Saved;
        return services_.dialogs->askYesNo(this, QStringLiteral("編集を破棄して終了します。よろしいですか？"),
                                           kSaveTitle);
    } catch (const std::exception& error) {
        services_.dialogs->plain(this, QString::fromUtf8(error.what()));
        return true;
    }
}

void frmMain::mnuExit_Click() { close(); }

// ---- Choosing and loading a day -------------------------------------------------------------------

void frmMain::MonthView1_DateClick(const QDate&) {
    if (!ConfirmSaveChanges()) return;
    ShowSelectedDate();
    UpdateCycleForecast();
}

bool frmMain::ConfirmSaveChanges() {
    if (m_.DataChanged && services_.dialogs->askYesNo(this, kSaveQuestion, kSaveTitle)) {
        if (SaveDayRecord() == SaveResult::Failed) {
            // The edits were not written: stay on the day being left, edits and all.
            MonthView1->setSelectedDate(m_.SelectedDate);
            return false;
        }
    }
    LoadDayRecord();
    m_.DataChanged = false;
    return true;
}

void frmMain::ShowSelectedDate() {
    setPanelText(Panel::Date, jatext::kanjiDate(MonthView1->selectedDate()));
    m_.SelectedDate = MonthView1->selectedDate();
}

void frmMain::LoadDayRecord() {
    services_.dialogs->trapped(this, [&] {
        const QDate day = MonthView1->selectedDate();
        const DayState state = requireOpen(m_.Db.get()).dayState(day);
        if (state.record)
            showEntry(*state.record);
        else
            showDefaults(day);
        shown_.state = state;
    });
    m_.DataChanged = false;
}

void frmMain::showEntry(const DayRecord& record) {
    shown_.record = record;
    shown_.tempText = record.temp ? jatext::storedNumberText(*record.temp) : QString();
    txtTemp->setText(shown_.tempText);
    txtCondition->setText(record.condition);
    txtMemo->setText(record.memo);
    txtSchedule->setText(record.schedule);
    rtbDiary->setPlainText(record.diary);
    diaryKept_ = KeptText(record.diary, rtbDiary->document()->toRawText());
    chkSex->setChecked(record.love);
    chkMens->setChecked(record.guest);
}

void frmMain::showDefaults(const QDate& day) {
    DayRecord empty;
    empty.date = day;
    empty.temp = m_.AverageTemp;
    showEntry(empty);
}

// ---- Editing and saving ---------------------------------------------------------------------------

void frmMain::txtTemp_Change() { m_.DataChanged = true; }
void frmMain::txtCondition_Change() { m_.DataChanged = true; }
void frmMain::txtMemo_Change() { m_.DataChanged = true; }
void frmMain::txtSchedule_Change() { m_.DataChanged = true; }
void frmMain::rtbDiary_Change() { m_.DataChanged = true; }
void frmMain::chkMens_Click() { m_.DataChanged = true; }
void frmMain::chkSex_Click() { m_.DataChanged = true; }

void frmMain::mnuRegister_Click() { SaveDayRecord(); }

DayEntry frmMain::entryFromControls() const {
    DayEntry entry;
    entry.date = m_.SelectedDate;
    entry.tempText = txtTemp->text().isEmpty() ? jatext::shortestText(m_.AverageTemp) : txtTemp->text();
    entry.memo = txtMemo->text();
    entry.schedule = txtSchedule->text();
    entry.condition = txtCondition->text();
    entry.diary = diaryKept_.current(rtbDiary->document()->toRawText());
    entry.love = chkSex->isChecked();
    entry.guest = chkMens->isChecked();
    // What she did not touch is written back as it was read: a number another program stored with more
    // digits than the box shows, or text bytes that are not UTF-8, stay exactly as they are. An empty
    // temperature is the average temperature's, as always.
    const DayRecord& shown = shown_.record;
    if (shown.date == entry.date) {
        entry.edited = 0;
        if (txtTemp->text().isEmpty() || txtTemp->text() != shown_.tempText) entry.edited |= dayfield::Temp;
        if (entry.memo != shown.memo) entry.edited |= dayfield::Memo;
        if (entry.schedule != shown.schedule) entry.edited |= dayfield::Schedule;
        if (entry.condition != shown.condition) entry.edited |= dayfield::Condition;
        if (entry.diary != shown.diary) entry.edited |= dayfield::Diary;
        if (entry.love != shown.love) entry.edited |= dayfield::Love;
        if (entry.guest != shown.guest) entry.edited |= dayfield::Guest;
    }
    return entry;
}

frmMain::SaveResult frmMain::SaveDayRecord() {
    const SaveResult result = writeEntry(entryFromControls(), true);
    if (result == SaveResult::Saved) {
        m_.DataChanged = false;
        tellFeatures(session::Change::DaySaved);
    }
    return result;
}

frmMain::SaveResult frmMain::writeEntry(const DayEntry& entry, bool shown) {
    SaveResult result = SaveResult::Failed;
    const auto save = [&] {
        if (!allFeatures(&session::Feature::beforeSave)) return;
        DataFile& db = requireOpen(m_.Db.get());
        // Decided on the day as found now; a change by another program while she answers starts it again.
        for (;;) {
            const DayState found = db.dayState(entry.date);
            const bool changed = shown && found != shown_.state;
            bool answered = false;
            if (changed) {
                DayRecord now = found.record.value_or(shown_.record);
                if (!found.record) now.temp = m_.AverageTemp;
                if (daychange::conflicts(entry, shown_.record, now) != 0) {
                    answered = true;
                    if (!services_.dialogs->askYesNo(this, kChangedQuestion, kAppTitle)) {
                        // Hers gives way: the day as the other program left it.
                        LoadDayRecord();
                        result = SaveResult::Declined;
                        return;
                    }
                }
            }
            if (found.row && !answered &&
                !services_.dialogs->askYesNo(this, QStringLiteral("上書きしますか？"), kAppTitle)) {
                result = SaveResult::Declined;
                return;
            }
            if (!db.write(entry, found)) continue;
            result = SaveResult::Saved;
            // What another program changed in the fields she did not touch is on screen now too.
            if (changed) showChangedDay();
            return;
        }
    };
    try {
        save();
    } catch (const PgError& error) {
        // The data engine's failures share one standard text; when her save did not reach the file (moved,
        // deleted, replaced by another program, read-only), the reason follows it in the same box.
        if (!error.shown())
            services_.dialogs->pgError(this, error.aboutTheFile()
                                                 ? error.standardText() + u'\r' + error.description()
                                                 : error.standardText());
    }
    return result;
}

void frmMain::showChangedDay() {
    const bool edited = m_.DataChanged;
    LoadDayRecord();
    m_.DataChanged = edited;
}

// ---- The cycle forecast ---------------------------------------------------------------------------

void frmMain::UpdateCycleForecast() {
    try {
        forecast::PeriodStartWalk walk;
        requireOpen(m_.Db.get()).forEachMenstruationDay([&walk](const QDate& day) { return walk.take(day); });
        const forecast::Texts texts = forecast::forecastTexts(walk.start(), m_.SelectedDate, cycleInUse());
        setPanelText(Panel::NextPeriod, texts.nextPeriod);
        setPanelText(Panel::State, texts.dayState);
    } catch (const PgError& error) {
        services_.dialogs->plain(this, error.description());
    }
}
