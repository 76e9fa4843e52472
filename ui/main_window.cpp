#include "ui/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QSessionManager>
#include <QShortcut>
#include <QShowEvent>
#include <QToolButton>
#include <algorithm>

#include "core/stored_components.h"
#include "core/year_report.h"
#include "storage/ini_file.h"
#include "storage/settings_storages.h"
#include "storage/stored_items.h"
#include "storage/window_placement.h"
#include "ui/about_panel.h"
#include "ui/accessible_names.h"
#include "ui/bevel_panel.h"
#include "ui/captioned_button.h"
#include "ui/cp1252.h"
#include "ui/error_box.h"
#include "ui/image_button.h"
#include "ui/money_edit.h"
#include "ui/month_box.h"
#include "ui/name_edit.h"
#include "ui/print_commands.h"
#include "ui/qt_alarm.h"
#include "ui/quantity_spin.h"
#include "ui/skin.h"
#include "ui/text_view.h"
#include "ui/undo_key.h"
#include "ui/viewer_menu.h"
#include "ui/window_caption.h"
#include "ui/window_host_qt.h"
#include "values/currency.h"

namespace quilvern {
namespace {

constexpr int kClientWidth = 524;
constexpr int kClientHeight = 408;
constexpr int kTopBarHeight = 37;
constexpr int kRowHeight = 37;
constexpr QPoint kDesignedPosition{334, 132};
const QRect kViewArea{0, kTopBarHeight, kClientWidth, kClientHeight - kTopBarHeight};

constexpr std::array<const char*, kViewCount> kPanelNames = {
    "Page01Panel", "Page02Panel",   "Page03Panel",   "Page04Panel",
    "Page05Panel", "TransferPanel", "SettingsPanel", "NotePanel"};
// Month boxes stand in three rows of four.
constexpr std::array<int, 4> kMonthLefts = {12, 140, 268, 398};
constexpr std::array<int, 3> kMonthTops = {8, 115, 222};

QString NumberedName(std::string_view base, int number, int width = 3) {
    return QString::fromLatin1(base.data(), static_cast<qsizetype>(base.size())) +
           QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

QString Latin(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A label at its designed place, widened when the font on this desktop needs more room.
QLabel* AddLabel(const QString& text, QRect geometry, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
    label->setGeometry(geometry);
    return label;
}

QFrame* AddLine(int left, int top, int width, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(left, top, width, 2);
    return line;
}

MoneyEdit* AddTotal(MoneyField& model, const QString& name, QRect geometry, QWidget* parent) {
    auto* edit = new MoneyEdit(model, parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
    return edit;
}

}  // namespace

TForm1::TForm1(std::string programDirectory)
    : programDirectory_(std::move(programDirectory)), settingsFile_(SettingsFilePath()) {
    Form1 = this;
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    move(kDesignedPosition);
    setWindowIcon(ImageIcon(QStringLiteral("quilvern")));
    setAutoFillBackground(true);

    reportPanel_ =
        new BevelPanel(QStringLiteral("ReportPanel"), skin::kWindow, BevelPanel::Bevel::None, this);
    reportPanel_->setGeometry(kViewArea);
    reportPanel_->hide();
    BuildTopBar();
    for (int i = 0; i < kViewCount; ++i) {
        viewPanels_[i] = new BevelPanel(QString::fromLatin1(kPanelNames[i]), skin::kWindow,
                                        BevelPanel::Bevel::None, this);
        viewPanels_[i]->setGeometry(kViewArea);
        viewPanels_[i]->hide();
    }
    BuildView(View::Page1);
    viewPanels_[0]->show();
    BuildMenu();
    BuildShortcuts();
    NameForScreenReaders(*topPanel_);
    NameForScreenReaders(*reportPanel_);

    data_.setTitle.OnChange.Add([this] { SetTitleChange(); });
    data_.ShowViewer = [this] { ShowViewer(); };
    for (int m = 0; m < kMonthCount; ++m) {
        data_.ledger.months[m].report.OnChange.Add([this, m] { SyncReportButton(m); });
    }
    ReadSeparators();
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { SaveOnSessionEnd(); });

    events_.onShow = [this] { FormCreate(); };
    host_ = std::make_unique<QtWindowHost>(*this);
    storages_ = std::make_unique<SettingsStorages>(settingsFile_);
    const std::vector<StoredComponent> components = StoredComponents(data_);
    storages_->AttachToWindow(events_, components, host_.get(),
                              [](const std::string& message) { ShowErrorBox(message); });
    alarm_ = std::make_unique<QtAlarm>([this] { recovery_->AlarmRang(); });
    recovery_ = std::make_unique<CrashRecovery>(*storages_, settingsFile_, programDirectory_,
                                                *alarm_, [this] {
                                                    TakeNoteEdits();
                                                    return data_.noteText.Text();
                                                });
    data_.ledger.journal = recovery_.get();
    recovery_->Watch(components);
    recovery_->OnFailure = [this](const std::exception& error) { ShowRecoveryNotice(error); };
    recovery_->LookForSnapshot();
    Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
    alarm_->Stop();
    Guarded([this] {
        if (events_.onDestroy)
            events_.onDestroy();
    });
    storages_.reset();
    // The widgets show models that die with this object: they go first.
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::FormCreate() {
    data_.dirLabel = programDirectory_;
    dirLabel_->setText(FromCp1252(data_.dirLabel));
    SetCaption(*this, FromCp1252(data_.setTitle.Text()));
    data_.RecomputeGrandTotal();
    reportTopPanel_->setGeometry(topPanel_->rect());
    data_.ApplyCurrencyFormat();
    data_.EnableExistingReports();
    data_.LoadNotes();
}

void TForm1::FormClose() {
    TakeNoteEdits();
    data_.SaveNotes();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;  // a restore from the task bar is no new show
    RestoreShownWindow();
    KeepOnScreen(*host_);
    host_->SetShown();
    recovery_->Start();
    topPanel_->setFocus(Qt::OtherFocusReason);
}

void TForm1::closeEvent(QCloseEvent* event) {
    try {
        event->setAccepted(SaveForClose());
    } catch (const std::exception& error) {
        event->ignore();  // the window stays open; a later close tries again
        ShowErrorBox(error);
    }
}

// The close query (the storages save), FormClose (the notes), and the end of the
// recovery snapshot. Throws when the notes cannot be written.
bool TForm1::SaveForClose() {
    bool canClose = true;
    Guarded([&] {
        if (events_.onCloseQuery)
            events_.onCloseQuery(canClose);
    });
    if (!canClose)
        return false;
    FormClose();
    recovery_->End(storages_->AllSaved());
    return true;
}

// After a crash the show restores from the recovery snapshot instead of the settings
// file, through the same storages in the same order, and the notes come from it too.
void TForm1::RestoreShownWindow() {
    Guarded([this] { ExpectReadable(settingsFile_); });
    if (!recovery_->HasSnapshot()) {
        Guarded([this] {
            if (events_.onShow)
                events_.onShow();
        });
        return;
    }
    const std::string notes = recovery_->RestoreSnapshot();
    Guarded([this] { FormCreate(); });
    data_.noteText.SetText(notes);
}

void TForm1::KeepRecoverySnapshot() {
    recovery_->WriteNow();
}

void TForm1::ShowRecoveryNotice(const std::exception& error) {
    ShowNotice(*this, QStringLiteral("RecoveryNotice"),
               QStringLiteral("The recovery copy could not be written, so a crash now would "
                              "lose what was typed since the last start. Everything is still "
                              "saved when the window closes."),
               error);
}

void TForm1::SaveOnSessionEnd() {
    // Ending the desktop session asks only whether the window may close; the notes are
    // written here as well, so notes typed during the run are never lost.
    Guarded([this] { SaveForClose(); });
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange)
        ReadSeparators();
    QWidget::changeEvent(event);
}

void TForm1::ReadSeparators() {
    const QLocale locale;  // the desktop's, unless the application set another
    auto first = [](const QString& text, char fallback) {
        const std::string bytes = ToCp1252(text.left(1));
        return bytes.empty() || bytes[0] == '?' ? fallback : bytes[0];
    };
    Separators seps;
    seps.decimal = first(locale.decimalPoint(), '.');
    seps.thousands = first(locale.groupSeparator(), seps.decimal == ',' ? '.' : ',');
    data_.SetSeparators(seps);
}

// Hands the notes as the user has them now to their model. The viewer's edits are never
// taken: they are copied or lost with the next report, so no snapshot or close keeps them.
void TForm1::TakeNoteEdits() {
    if (noteText_ != nullptr)
        noteText_->Take();
}

// --- Building -------------------------------------------------------------------------

void TForm1::BuildTopBar() {
    topPanel_ =
        new BevelPanel(QStringLiteral("TopPanel"), skin::kTopBar, BevelPanel::Bevel::None, this);
    topPanel_->setGeometry(0, 0, kClientWidth, kTopBarHeight);
    topPanel_->setFocusPolicy(Qt::TabFocus);
    for (int p = 0; p < kPageCount; ++p) {
        auto* button = new QToolButton(topPanel_);
        button->setObjectName(NumberedName("Page", p + 1, 2));
        button->setText(QString::number(p + 1));
        button->setGeometry(8 + 23 * p, 8, 22, 22);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, p] { PageClick(p + 1); });
        viewButtons_[p] = button;
    }
    viewButtons_[0]->setEnabled(false);
    struct ViewButton {
        const char* name;
        const char* image;
        QRect geometry;
        void (TForm1::*click)();
    };
    const std::array<ViewButton, 3> buttons = {{
        {"Transfer", "transfer", {125, 8, 22, 22}, &TForm1::TransferClick},
        {"Settings", "settings", {150, 8, 22, 22}, &TForm1::SettingsClick},
        {"Notes", "notes", {174, 8, 23, 22}, &TForm1::NotesClick},
    }};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const ViewButton& b = buttons[i];
        auto* button = NewImageButton(QString::fromLatin1(b.name), QString::fromLatin1(b.image),
                                      b.geometry, topPanel_);
        button->setToolTip(QString::fromLatin1(b.name));
        connect(button, &QToolButton::clicked, this, [this, click = b.click] { (this->*click)(); });
        viewButtons_[kPageCount + i] = button;
    }
    dirLabel_ = new QLabel(QStringLiteral("DirLabel"), topPanel_);
    dirLabel_->setObjectName(QStringLiteral("DirLabel"));
    dirLabel_->hide();
    fileLabel_ = new QLabel(QStringLiteral("FileLabel"), topPanel_);
    fileLabel_->setObjectName(QStringLiteral("FileLabel"));
    fileLabel_->hide();
    totalLabel1_ = AddLabel(QStringLiteral("TOTAL"), {337, 12, 35, 13}, topPanel_);
    totalLabel1_->setObjectName(QStringLiteral("TotalLabel1"));
    totalLabel2_ = AddLabel(QStringLiteral("="), {382, 11, 6, 13}, topPanel_);
    totalLabel2_->setObjectName(QStringLiteral("TotalLabel2"));
    finalTotal_ = AddTotal(data_.sheet.finalTotal, QStringLiteral("FinalTotal"), {395, 8, 121, 21},
                           topPanel_);

    reportTopPanel_ = new BevelPanel(QStringLiteral("ReportTopPanel"), skin::kTopBar,
                                     BevelPanel::Bevel::None, topPanel_);
    reportTopPanel_->setGeometry(313, 1, 328, 35);
    reportTopPanel_->hide();
    auto* copy = NewImageButton(QStringLiteral("ReportCopy"), QStringLiteral("copy"),
                                {5, 6, 125, 23}, reportTopPanel_);
    copy->setText(QStringLiteral("Copy To Clipboard"));
    copy->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(copy, &QToolButton::clicked, this, [this] { Guarded([this] { ReportCopyClick(); }); });
    auto* close = NewImageButton(QStringLiteral("ReportClose"), QStringLiteral("close"),
                                 {131, 6, 139, 23}, reportTopPanel_);
    close->setText(QStringLiteral("Close Report Window"));
    close->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(close, &QToolButton::clicked, this,
            [this] { Guarded([this] { ReportCloseClick(); }); });
}

void TForm1::BuildMenu() {
    resetPopUp_ = new QMenu(this);
    resetPopUp_->setObjectName(QStringLiteral("ResetPopUp"));
    auto add = [this](const char* name, const char* caption, void (TForm1::*click)()) {
        QAction* action = resetPopUp_->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                [this, click] { Guarded([this, click] { (this->*click)(); }); });
    };
    auto separator = [this](const char* name) {
        resetPopUp_->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    // Shown only while a clear command can be undone; see ShowUndoItem.
    add("PopUndo", "", &TForm1::PopUndoClick);
    popUndo_ = resetPopUp_->actions().back();
    separator("N4");
    undoSeparator_ = resetPopUp_->actions().back();
    connect(resetPopUp_, &QMenu::aboutToShow, this, [this] { ShowUndoItem(); });
    ShowUndoItem();
    add("PopName", "Clear Names", &TForm1::PopNameClick);
    add("PopPrice", "Clear Prices", &TForm1::PopPriceClick);
    add("PopQuantity", "Clear Quantities", &TForm1::PopQuantityClick);
    separator("N3");
    add("PopTransfer", "Clear Transfer", &TForm1::PopTransferClick);
    separator("N1");
    add("PopAbout", "About Quilvern ...", &TForm1::PopAboutClick);
    topPanel_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(topPanel_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { resetPopUp_->popup(topPanel_->mapToGlobal(at)); });
}

// Keys for what the mouse reaches in the top bar, the transfer view and the viewer.
// Each acts only when its button could be clicked: not under the About panel, not
// while the viewer covers the top bar. Alt and Ctrl chords leave the fields' own keys
// (Escape, Enter, the arrows) as they are.
void TForm1::BuildShortcuts() {
    auto bind = [this](const QKeySequence& keys, std::function<QAbstractButton*()> button) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, button] {
            QAbstractButton* target = button();
            const bool covered = target != nullptr && target->parentWidget() == topPanel_ &&
                                 reportTopPanel_->isVisible();
            if (target != nullptr && target->isEnabled() && target->isVisible() && !covered) {
                target->click();
            }
        });
    };
    for (int p = 0; p < kPageCount; ++p) {
        bind(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + p)),
             [this, p] { return viewButtons_[p]; });
    }
    auto neighbourPage = [this](int step) -> QAbstractButton* {
        for (int p = 0; p < kPageCount; ++p) {
            if (!viewButtons_[p]->isEnabled()) {  // the page on show
                return viewButtons_[(p + step + kPageCount) % kPageCount];
            }
        }
        return viewButtons_[0];
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_PageDown), [neighbourPage] { return neighbourPage(1); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_PageUp), [neighbourPage] { return neighbourPage(-1); });
    bind(QKeySequence(Qt::ALT | Qt::Key_T), [this] { return viewButtons_[kPageCount]; });
    bind(QKeySequence(Qt::ALT | Qt::Key_S), [this] { return viewButtons_[kPageCount + 1]; });
    bind(QKeySequence(Qt::ALT | Qt::Key_N), [this] { return viewButtons_[kPageCount + 2]; });
    bind(QKeySequence(Qt::ALT | Qt::Key_Y),
         [this] { return findChild<QAbstractButton*>(QStringLiteral("YearReport")); });
    bind(QKeySequence(Qt::ALT | Qt::Key_C),
         [this] { return findChild<QAbstractButton*>(QStringLiteral("ReportCopy")); });
    bind(QKeySequence(Qt::ALT | Qt::Key_W),
         [this] { return findChild<QAbstractButton*>(QStringLiteral("ReportClose")); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_P),
         [this] { return findChild<QAbstractButton*>(QStringLiteral("ReportPrint")); });
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         [this] { return findChild<QAbstractButton*>(QStringLiteral("ReportSavePdf")); });
    // Ctrl+Z undoes a clear command as the menu item does, and like the menu not under
    // the About panel; a text field with typing of its own to undo keeps the key.
    new UndoKeyPassage(*this, [this] { return undo_.Offered().has_value(); });
    auto* undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this, [this] {
        if (topPanel_->isEnabled() && undo_.Offered())
            Guarded([this] { PopUndoClick(); });
    });
    // The menu key itself stays the fields' own context menu.
    auto* menu = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menu, &QShortcut::activated, this, [this] {
        if (topPanel_->isEnabled())
            resetPopUp_->popup(topPanel_->mapToGlobal(QPoint(8, 30)));
    });
}

void TForm1::BuildView(View view) {
    const auto index = static_cast<std::size_t>(view);
    if (viewBuilt_[index])
        return;
    viewBuilt_[index] = true;
    switch (view) {
        case View::Transfer:
            BuildTransferView();
            break;
        case View::Settings:
            BuildSettingsView();
            break;
        case View::Notes:
            BuildNotesView();
            break;
        default:
            BuildPage(static_cast<int>(index));
            break;
    }
    NameForScreenReaders(*viewPanels_[index]);
}

QWidget& TForm1::ViewPanel(View view) {
    BuildView(view);
    return *viewPanels_[static_cast<std::size_t>(view)];
}

void TForm1::BuildPage(int page) {
    QWidget* panel = viewPanels_[page];
    for (int row = 0; row < kLinesPerPage; ++row) {
        const int n = page * kLinesPerPage + row + 1;
        ProductLine& line = data_.sheet.lines[n - 1];
        auto* product = new BevelPanel(NumberedName("Product", n), skin::kWindow,
                                       BevelPanel::Bevel::Row, panel);
        product->setGeometry(0, kRowHeight * row, kClientWidth, kRowHeight);
        product->AddCaption(207, 12, QStringLiteral("@"));
        product->AddCaption(297, 11, QStringLiteral("x"));
        product->AddCaption(382, 11, QStringLiteral("="));
        const QString ofLine = QStringLiteral(" of line %1").arg(n);
        product->setAccessibleName(QStringLiteral("Line %1").arg(n));
        auto* name = new NameEdit(line.name, product);
        name->setObjectName(Latin(LineFieldName(n, "Name")));
        name->setGeometry(8, 8, 193, 21);
        name->setAccessibleName(QStringLiteral("Name") + ofLine);
        auto* price = new MoneyEdit(line.price, product);
        price->setObjectName(Latin(LineFieldName(n, "Price")));
        price->setGeometry(224, 8, 65, 21);
        price->setAccessibleName(QStringLiteral("Price") + ofLine);
        auto* quantity = new QuantitySpin(line.quantity, product);
        quantity->setObjectName(Latin(LineFieldName(n, "Quantity")));
        quantity->setGeometry(311, 8, 65, 21);
        quantity->setAccessibleName(QStringLiteral("Quantity") + ofLine);
        AddTotal(line.total, Latin(LineFieldName(n, "Total")), {395, 8, 121, 21}, product)
            ->setAccessibleName(QStringLiteral("Total") + ofLine);
        product->show();
    }
}

void TForm1::BuildTransferView() {
    QWidget* panel = viewPanels_[static_cast<std::size_t>(View::Transfer)];
    for (int m = 0; m < kMonthCount; ++m) {
        const MonthInfo& info = kMonths[m];
        const QString key = Latin(info.key);
        auto* box = new MonthBox(Latin(info.caption), panel);
        box->setObjectName(QStringLiteral("Box") + key);
        box->setGeometry(kMonthLefts[m % 4], kMonthTops[m / 4], 115, 97);
        AddTotal(data_.ledger.months[m].total, QStringLiteral("Total") + Latin(info.name),
                 {9, 19, 97, 21}, box);
        auto* transfer =
            new CaptionedButton(QStringLiteral("Transfer") + key, QStringLiteral("transfer-month"),
                                {9, 44, 22, 22}, QStringLiteral("Transfer"), {40, 49}, box);
        connect(transfer, &QToolButton::clicked, this,
                [this, m] { Guarded([this, m] { TransferMonthClick(m + 1); }); });
        skin::SetTextColour(*transfer->Caption(), skin::kViewLabelText);
        auto* report =
            new CaptionedButton(QStringLiteral("Report") + key, QStringLiteral("report"),
                                {9, 68, 22, 22}, QStringLiteral("Report"), {40, 72}, box);
        connect(report, &QToolButton::clicked, this,
                [this, m] { Guarded([this, m] { ReportMonthClick(m + 1); }); });
        skin::SetTextColour(*report->Caption(), skin::kViewLabelText);
        reportButtons_[m] = report;
        box->SetButtons(transfer, report);
        box->setAccessibleDescription(QStringLiteral("T or Enter: transfer, R: report"));
        SyncReportButton(m);
    }
    AddLine(12, 332, 500, panel);
    skin::SetTextColour(*AddLabel(QStringLiteral("TOTAL FOR YEAR"), {13, 347, 95, 13}, panel),
                        skin::kViewLabelText);
    skin::SetTextColour(*AddLabel(QStringLiteral("="), {113, 346, 8, 13}, panel),
                        skin::kViewLabelText);
    AddTotal(data_.ledger.totalYear, QStringLiteral("TotalYear"), {129, 343, 245, 21}, panel);
    auto* year = NewImageButton(QStringLiteral("YearReport"), QStringLiteral("year-report"),
                                {378, 342, 135, 22}, panel);
    year->setText(QStringLiteral("Compile Year Report"));
    year->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(year, &QToolButton::clicked, this, [this] { Guarded([this] { YearReportClick(); }); });
}

void TForm1::SyncReportButton(int month) {
    if (reportButtons_[month] != nullptr) {
        reportButtons_[month]->setEnabled(data_.ledger.months[month].report.Enabled());
    }
}

void TForm1::BuildSettingsView() {
    QWidget* panel = viewPanels_[static_cast<std::size_t>(View::Settings)];
    auto* titleLabel = AddLabel(QStringLiteral("Titlebar Text"), {12, 15, 65, 13}, panel);
    titleLabel->setObjectName(QStringLiteral("SetTitleLabel"));
    skin::SetTextColour(*titleLabel, skin::kViewLabelText);
    auto* title = new NameEdit(data_.setTitle, panel);
    title->setObjectName(QStringLiteral("SetTitle"));
    title->setGeometry(81, 12, 240, 21);
    title->setFocusPolicy(Qt::ClickFocus);
    skin::SetTextColour(*AddLabel(QStringLiteral("Currency"), {334, 15, 48, 13}, panel),
                        skin::kViewLabelText);
    currency_ = new QComboBox(panel);
    currency_->setObjectName(QStringLiteral("Currency"));
    currency_->setGeometry(386, 12, 128, 21);
    currency_->setEditable(true);
    currency_->setCompleter(nullptr);  // only the exact names apply a currency
    currency_->setInsertPolicy(QComboBox::NoInsert);
    currency_->setMaxVisibleItems(16);
    currency_->setFocusPolicy(Qt::ClickFocus);
    for (const CurrencyInfo& c : kCurrencies)
        currency_->addItem(FromCp1252(c.name));
    currency_->setCurrentIndex(-1);
    auto show = [this] {
        const QString text = FromCp1252(data_.currency.Text());
        if (currency_->currentText() != text)
            currency_->setEditText(text);
    };
    data_.currency.OnRepaint.Add(show);
    show();
    connect(currency_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        Guarded([&] { data_.currency.SetText(ToCp1252(text)); });
    });
    AddLine(12, 43, 500, panel);
}

void TForm1::BuildNotesView() {
    QWidget* panel = viewPanels_[static_cast<std::size_t>(View::Notes)];
    noteText_ = new TextView(data_.noteText, QStringLiteral("NoteText"), panel);
    connect(noteText_, &QPlainTextEdit::textChanged, this, [this] { recovery_->Changed(); });
    noteText_->setGeometry(panel->rect());
    noteText_->hide();
}

void TForm1::BuildReportViewer() {
    if (reportText_ != nullptr)
        return;
    reportText_ = new TextView(data_.reportText, QStringLiteral("ReportText"), reportPanel_);
    reportText_->setGeometry(reportPanel_->rect());
    reportTemp_ = new TextView(data_.reportTemp, QStringLiteral("ReportTemp"), reportPanel_);
    reportTemp_->hide();
    BuildReportOutput();
    NameForScreenReaders(*reportPanel_);
}

// "Print..." and "Save as PDF...", beside "Copy To Clipboard" and "Close Report Window"
// and in the context menu of the text. Built with the text when a report is first
// shown: at start-up their icons would cost memory for a window that may never print.
void TForm1::BuildReportOutput() {
    struct Output {
        const char* name;
        const char* image;
        QRect geometry;
        QString caption;
        const char* keys;
        void (TForm1::*click)();
    };
    QList<QAction*> entries;
    for (const Output& o : {Output{"ReportPrint",
                                   "print",
                                   {276, 6, 72, 23},
                                   QStringLiteral("Print\u2026"),
                                   "Ctrl+P",
                                   &TForm1::ReportPrintClick},
                            Output{"ReportSavePdf",
                                   "pdf",
                                   {354, 6, 114, 23},
                                   QStringLiteral("Save as PDF\u2026"),
                                   "Ctrl+Shift+S",
                                   &TForm1::ReportSavePdfClick}}) {
        auto* button = NewImageButton(QString::fromLatin1(o.name), QString::fromLatin1(o.image),
                                      o.geometry, reportTopPanel_);
        button->setText(o.caption);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->show();
        connect(button, &QToolButton::clicked, this,
                [this, click = o.click] { Guarded([this, click] { (this->*click)(); }); });
        auto* entry =
            new QAction(o.caption + QLatin1Char('\t') + QLatin1String(o.keys), reportText_);
        connect(entry, &QAction::triggered, button, &QToolButton::click);
        entries.append(entry);
    }
    ExtendContextMenu(*reportText_, entries);
    NameForScreenReaders(*reportTopPanel_);
}

// --- Views ------------------------------------------------------------------------------

void TForm1::ShowView(View view) {
    const ViewStates states = StatesFor(view);
    BuildView(view);
    for (std::size_t i = 0; i < kViewCount; ++i) {
        viewButtons_[i]->setEnabled(states.buttonEnabled[i]);
        viewPanels_[i]->setVisible(states.panelVisible[i]);
    }
    if (noteText_ != nullptr)
        noteText_->setVisible(states.noteTextVisible);
    totalLabel1_->setVisible(states.totalsVisible);
    totalLabel2_->setVisible(states.totalsVisible);
    finalTotal_->setVisible(states.totalsVisible);
}

void TForm1::PageClick(int page) {
    ShowView(static_cast<View>(page - 1));
}
void TForm1::TransferClick() {
    ShowView(View::Transfer);
}
void TForm1::NotesClick() {
    ShowView(View::Notes);
}

void TForm1::SettingsClick() {
    ShowView(View::Settings);
    currency_->lineEdit()->deselect();
    currency_->lineEdit()->setCursorPosition(1);
}

void TForm1::SetOverlayEnabled(bool enabled) {
    topPanel_->setEnabled(enabled);
    for (BevelPanel* panel : viewPanels_)
        panel->setEnabled(enabled);
}

void TForm1::PopAboutClick() {
    if (aboutPanel_ == nullptr) {
        aboutPanel_ = new AboutPanel([this] { AboutCloseBtnClick(); }, this);
        aboutPanel_->setGeometry(kViewArea);
    }
    SetOverlayEnabled(false);
    aboutPanel_->Open();
}

void TForm1::AboutCloseBtnClick() {
    SetOverlayEnabled(true);
    aboutPanel_->hide();
}

void TForm1::SetTitleChange() {
    SetCaption(*this, FromCp1252(data_.setTitle.Text()));
}

// --- Ledger and viewer --------------------------------------------------------------------

void TForm1::TransferMonthClick(int month) {
    const SnapshotAfterCommand snapshot(*recovery_);
    undo_.Forget();
    data_.ledger.Transfer(month);
    fileLabel_->setText(FromCp1252(data_.fileLabel));
}

void TForm1::ReportMonthClick(int month) {
    BuildReportViewer();
    data_.OpenMonthReport(month);
}

void TForm1::YearReportClick() {
    const SnapshotAfterCommand snapshot(*recovery_);
    BuildReportViewer();
    CompileYearReport(data_);
}

void TForm1::ShowViewer() {
    BuildReportViewer();
    // Opened or built, a report shows as it is, never with edits typed into it earlier.
    reportText_->DropEdits();
    reportPanel_->show();
    reportTopPanel_->show();
    viewPanels_[static_cast<std::size_t>(View::Transfer)]->hide();
}

void TForm1::ReportCloseClick() {
    reportPanel_->hide();
    reportTopPanel_->hide();
    viewPanels_[static_cast<std::size_t>(View::Transfer)]->show();
}

void TForm1::ReportPrintClick() {
    reportText_->Take();
    PrintReport(*this, data_.reportText.Text(), data_.setTitle.Text(), recovery_.get());
}

void TForm1::ReportSavePdfClick() {
    reportText_->Take();
    SaveReportAsPdf(*this, data_.reportText.Text(), data_.setTitle.Text(), recovery_.get());
}

void TForm1::ReportCopyClick() {
    BuildReportViewer();
    reportText_->Take();
    QApplication::clipboard()->setText(FromCp1252(data_.reportText.Text()));
    QTextCursor start = reportText_->textCursor();
    start.movePosition(QTextCursor::Start);
    reportText_->setTextCursor(start);
}

void TForm1::PopNameClick() {
    const SnapshotAfterCommand snapshot(*recovery_);
    undo_.Run(ClearCommand::Names);
}
void TForm1::PopPriceClick() {
    const SnapshotAfterCommand snapshot(*recovery_);
    undo_.Run(ClearCommand::Prices);
}
void TForm1::PopQuantityClick() {
    const SnapshotAfterCommand snapshot(*recovery_);
    undo_.Run(ClearCommand::Quantities);
}
void TForm1::PopTransferClick() {
    const SnapshotAfterCommand snapshot(*recovery_);
    undo_.Run(ClearCommand::Transfer);
}
void TForm1::PopUndoClick() {
    const SnapshotAfterCommand snapshot(*recovery_);
    undo_.Undo();
}

void TForm1::ShowUndoItem() {
    popUndo_->setText(FromCp1252(undo_.Caption()) + QStringLiteral("\tCtrl+Z"));
    popUndo_->setVisible(undo_.Offered().has_value());
    undoSeparator_->setVisible(undo_.Offered().has_value());
}

}  // namespace quilvern
