#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "support/temp_dir.h"
#include "ui/error_box_watcher.h"
#include "ui/image_button.h"
#include "ui/text_view.h"

namespace quilvern {
namespace {

constexpr std::array<const char*, 12> kReportButtons = {
    "ReportJan", "ReportFeb", "ReportMar", "ReportApr", "ReportMay", "ReportJun",
    "ReportJul", "ReportAug", "ReportSep", "ReportOct", "ReportNov", "ReportDec"};

class MainWindowTest : public ::testing::Test {
  protected:
    void Start() {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.File("config")));
        form = std::make_unique<TForm1>(dir.WithSeparator());
        form->show();
        QApplication::setActiveWindow(form.get());
        // Views are built when first shown; build them all so every control exists.
        for (View view : {View::Transfer, View::Notes, View::Settings})
            form->ViewPanel(view);
    }
    template <typename T = QWidget>
    T* Find(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
    void TypeInto(const char* name, const char* keys) {
        QLineEdit* edit = Edit(name);
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, keys);
    }
    bool Close() { return form->close(); }

    test::TempDir dir;
    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowTest, FirstStartInAnEmptyDirectory) {
    Start();
    EXPECT_EQ(form->windowTitle(), "Quilvern");
    EXPECT_EQ(Edit("FinalTotal")->text(), "$0.00");
    EXPECT_EQ(Edit("P001Name")->text(), "Product 1");
    for (const char* name : kReportButtons)
        EXPECT_FALSE(Find(name)->isEnabled()) << name;
    EXPECT_EQ(form->Data().noteText.Text(), "");
    EXPECT_EQ(Find<QLabel>("DirLabel")->text().toStdString(), dir.WithSeparator());
    EXPECT_FALSE(Find("DirLabel")->isVisible());
    EXPECT_EQ(form->size(), QSize(524, 408));
}

TEST_F(MainWindowTest, StartUpEnablesReportsThatExistAndLoadsTheNotes) {
    dir.Write("Report03.txt", "MARCH SALES\r\n");
    dir.Write("Notes.txt", "buy tea\nand milk");
    Start();
    for (const char* name : kReportButtons) {
        EXPECT_EQ(Find(name)->isEnabled(), std::string(name) == "ReportMar") << name;
    }
    EXPECT_EQ(form->Data().noteText.Text(), "buy tea\r\nand milk");
}

TEST_F(MainWindowTest, NotesSurviveAClose) {
    Start();
    form->NotesClick();
    auto* notes = Find<QPlainTextEdit>("NoteText");
    notes->setFocus();
    QTest::keyClicks(notes, "first");
    QTest::keyClick(notes, Qt::Key_Return);
    notes->insertPlainText(QString::fromUtf8("second\u00A0line"));
    EXPECT_TRUE(Close());
    EXPECT_EQ(dir.Read("Notes.txt"), "first\r\nsecond\xA0line");
}

TEST_F(MainWindowTest, EmptyNotesAreWrittenAsAnEmptyFile) {
    Start();
    EXPECT_TRUE(Close());
    EXPECT_TRUE(dir.Exists("Notes.txt"));
    EXPECT_EQ(dir.Read("Notes.txt"), "");
}

TEST_F(MainWindowTest, NotesThatCannotBeWrittenKeepTheWindowOpen) {
    Start();
    std::filesystem::create_directory(dir.Path() / "Notes.txt");
    test::ErrorBoxWatcher boxes;
    EXPECT_FALSE(Close());
    QTest::qWait(50);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Cannot create file " + dir.File("Notes.txt") + ".");
    EXPECT_EQ(boxes.captions[0], "Quilvern");
    std::filesystem::remove(dir.Path() / "Notes.txt");
    EXPECT_TRUE(Close()) << "a later close tries again";
}

TEST_F(MainWindowTest, PageThreeShowsLines21To30) {
    Start();
    form->PageClick(3);
    EXPECT_TRUE(Edit("P021Name")->isVisible());
    EXPECT_TRUE(Edit("P030Name")->isVisible());
    EXPECT_FALSE(Find("Page01Panel")->isVisible());
    EXPECT_FALSE(Find("Page03")->isEnabled());
    EXPECT_TRUE(Find("Page01")->isEnabled());
}

TEST_F(MainWindowTest, OnlySheetPagesShowTheGrandTotal) {
    Start();
    for (auto [click, totals, notes] :
         std::initializer_list<std::tuple<void (TForm1::*)(), bool, bool>>{
             {&TForm1::TransferClick, false, false},
             {&TForm1::SettingsClick, false, false},
             {&TForm1::NotesClick, false, true}}) {
        (form.get()->*click)();
        EXPECT_EQ(Find("TotalLabel1")->isVisible(), totals);
        EXPECT_EQ(Find("TotalLabel2")->isVisible(), totals);
        EXPECT_EQ(Find("FinalTotal")->isVisible(), totals);
        EXPECT_EQ(Find("NoteText")->isVisible(), notes);
        form->PageClick(2);
        EXPECT_TRUE(Find("FinalTotal")->isVisible());
        EXPECT_FALSE(Find("NoteText")->isVisible());
    }
}

TEST_F(MainWindowTest, SettingsPutsTheCurrencyCaretAfterItsFirstCharacter) {
    Start();
    form->SettingsClick();
    auto* currency = Find<QComboBox>("Currency");
    EXPECT_EQ(currency->lineEdit()->cursorPosition(), 1);
    EXPECT_FALSE(currency->lineEdit()->hasSelectedText());
}

TEST_F(MainWindowTest, AboutCoversTheViewAndBlocksTheTopBar) {
    Start();
    form->SettingsClick();
    form->PopAboutClick();
    EXPECT_TRUE(Find("AboutPanel")->isVisible());
    EXPECT_FALSE(Find("TopPanel")->isEnabled());
    QTest::mouseClick(Find("Page02"), Qt::LeftButton);
    EXPECT_TRUE(Find("SettingsPanel")->isVisible());
    EXPECT_FALSE(Find("Page02Panel")->isVisible());
    QTest::mouseClick(Find("AboutCloseBtn"), Qt::LeftButton);
    EXPECT_FALSE(Find("AboutPanel")->isVisible());
    EXPECT_TRUE(Find("SettingsPanel")->isVisible());
    EXPECT_FALSE(Find("Settings")->isEnabled());
    EXPECT_TRUE(Find("Page01")->isEnabled());
}

TEST_F(MainWindowTest, AboutClosesOnEnterAndEscapeAsADialogDoes) {
    Start();
    form->TransferClick();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        form->PopAboutClick();
        ASSERT_EQ(QApplication::focusWidget(), Find("AboutCloseBtn")) << key;
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(Find("AboutPanel")->isVisible()) << key;
        EXPECT_TRUE(Find("TopPanel")->isEnabled()) << key;
        EXPECT_TRUE(Find("TransferPanel")->isVisible()) << key;
    }
    form->PopAboutClick();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    EXPECT_TRUE(Find("AboutPanel")->isVisible()) << "other keys leave it open";
}

TEST_F(MainWindowTest, CaptionFollowsEveryKeystrokeOfTheTitle) {
    Start();
    form->SettingsClick();
    QLineEdit* title = Edit("SetTitle");
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, "Shop");
    EXPECT_EQ(form->windowTitle(), "Shop");
    title->selectAll();
    QTest::keyClick(title, Qt::Key_Delete);
    EXPECT_EQ(form->windowTitle(), "");
}

TEST_F(MainWindowTest, TabSkipsTotalsTitleAndCurrency) {
    Start();
    Edit("P001Name")->setFocus(Qt::TabFocusReason);
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        visited.push_back(QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"P001Name", "P001Price", "P001Quantity",
                                                 "P002Name", "P002Price", "P002Quantity"}));
    for (const char* name : {"FinalTotal", "P001Total", "TotalJanuary", "TotalYear"}) {
        EXPECT_EQ(Find(name)->focusPolicy(), Qt::ClickFocus) << name;
    }
    form->SettingsClick();
    EXPECT_EQ(Find("SetTitle")->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(Find("Currency")->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(Find("Transfer")->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindowTest, AWholeMonth) {
    Start();
    TypeInto("P001Name", "");
    Edit("P001Name")->selectAll();
    QTest::keyClicks(Edit("P001Name"), "Tea");
    TypeInto("P001Price", "2.5");
    TypeInto("P001Quantity", "4");
    EXPECT_EQ(Edit("P001Total")->text(), "$10.00");
    EXPECT_EQ(Edit("FinalTotal")->text(), "$10.00");

    form->TransferClick();
    QTest::mouseClick(Find("TransferMar"), Qt::LeftButton);
    const std::string march =
        "MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\nMARCH TOTAL = $10.00\r\n";
    EXPECT_EQ(dir.Read("Report03.txt"), march);
    EXPECT_EQ(dir.Read("Backup03.txt"), march);
    EXPECT_EQ(Edit("TotalMarch")->text(), "$10.00");
    EXPECT_EQ(Edit("TotalYear")->text(), "$10.00");
    ASSERT_TRUE(Find("ReportMar")->isEnabled());

    QTest::mouseClick(Find("ReportMar"), Qt::LeftButton);
    EXPECT_TRUE(Find("ReportPanel")->isVisible());
    EXPECT_TRUE(Find("ReportTopPanel")->isVisible());
    EXPECT_FALSE(Find("TransferPanel")->isVisible());
    EXPECT_EQ(Find("ReportTopPanel")->geometry(), Find("TopPanel")->rect());

    auto* report = Find<QPlainTextEdit>("ReportText");
    report->moveCursor(QTextCursor::End);
    QTest::keyClicks(report, "ok");
    QTest::mouseClick(Find("ReportCopy"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), march + "ok");
    EXPECT_EQ(report->textCursor().position(), 0);
    EXPECT_FALSE(report->textCursor().hasSelection());

    QTest::mouseClick(Find("ReportClose"), Qt::LeftButton);
    EXPECT_TRUE(Find("TransferPanel")->isVisible());
    EXPECT_FALSE(Find("ReportPanel")->isVisible());

    QApplication::clipboard()->setText("kept");
    QTest::mouseClick(Find("YearReport"), Qt::LeftButton);
    EXPECT_EQ(dir.Read("ReportYear.txt"), "SALES REPORT FOR YEAR\r\n\r\n\r\n" + march +
                                              "\r\n\r\nFINAL TOTAL FOR YEAR = $10.00\r\n");
    EXPECT_TRUE(Find("ReportPanel")->isVisible());
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    QTest::mouseClick(Find("ReportClose"), Qt::LeftButton);

    Find<QMenu>("ResetPopUp")->findChild<QAction*>("PopTransfer")->trigger();
    EXPECT_EQ(Edit("TotalYear")->text(), "$0.00");
    EXPECT_FALSE(Find("ReportMar")->isEnabled());
    EXPECT_FALSE(dir.Exists("Report03.txt"));
    EXPECT_TRUE(dir.Exists("Backup03.txt"));
}

// Text typed into the viewer never outlives it: opening a report, also one whose file
// has gone meanwhile, or compiling the year's shows the report as read or built.
TEST_F(MainWindowTest, ViewerAlwaysOpensOnTheReportNotOnEarlierEdits) {
    Start();
    form->TransferClick();
    QTest::mouseClick(Find("TransferJan"), Qt::LeftButton);
    const QString january = ToEditorText(dir.Read("Report01.txt"));
    QTest::mouseClick(Find("ReportJan"), Qt::LeftButton);
    auto* report = Find<QPlainTextEdit>("ReportText");  // the viewer is built when first opened
    auto editAndClose = [&] {
        report->moveCursor(QTextCursor::Start);
        QTest::keyClicks(report, "XYZ ");
        ASSERT_TRUE(report->toPlainText().startsWith("XYZ "));
        QTest::mouseClick(Find("ReportClose"), Qt::LeftButton);
    };

    editAndClose();
    QTest::mouseClick(Find("ReportJan"), Qt::LeftButton);
    EXPECT_EQ(report->toPlainText(), january) << "the same file read again";

    editAndClose();
    std::filesystem::remove(dir.Path() / "Report01.txt");
    QTest::mouseClick(Find("ReportJan"), Qt::LeftButton);
    EXPECT_EQ(report->toPlainText(), january) << "the file gone: the report last read";

    editAndClose();
    QTest::mouseClick(Find("YearReport"), Qt::LeftButton);
    EXPECT_EQ(report->toPlainText(), ToEditorText(dir.Read("ReportYear.txt")));
}

TEST_F(MainWindowTest, EuroShowsEveryAmountWithTheEuroSign) {
    Start();
    form->Data().sheet.lines[0].price.SetValue(1234.5L);
    form->SettingsClick();
    auto* currency = Find<QComboBox>("Currency");
    currency->setCurrentIndex(2);
    EXPECT_EQ(currency->currentText(), QString::fromUtf8("Euro (\u20AC)"));
    form->PageClick(1);
    EXPECT_EQ(Edit("P001Price")->text(), QString::fromUtf8("\u20AC1,234.50"));
    currency->setEditText("euro");
    EXPECT_EQ(Edit("P001Price")->text(), QString::fromUtf8("\u20AC1,234.50"));
}

}  // namespace
}  // namespace quilvern

namespace quilvern {
namespace {

TEST_F(MainWindowTest, EverythingComesBackAfterARestart) {
    Start();
    Edit("P001Name")->setFocus();
    Edit("P001Name")->selectAll();
    QTest::keyClicks(Edit("P001Name"), "  Blue mug ");
    TypeInto("P001Price", "4.5");
    TypeInto("P001Quantity", "12");
    form->TransferClick();
    QTest::mouseClick(Find("TransferJan"), Qt::LeftButton);
    form->SettingsClick();
    Find<QComboBox>("Currency")->setCurrentIndex(2);
    QLineEdit* title = Edit("SetTitle");
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, "My shop");
    // Wholly on the offscreen platform's 800 x 600 screen, where it is kept as it is.
    form->move(200, 150);
    ASSERT_TRUE(Close());
    form.reset();

    const std::string settings = dir.Read("config/Quilvern.ini");
    EXPECT_NE(settings.find("Currency_Text=Euro (\x80)\r\n"), std::string::npos);
    EXPECT_NE(settings.find("P001Name_Text=Blue mug\r\n"), std::string::npos);
    EXPECT_NE(settings.find("P001Price_Value=4.5\r\n"), std::string::npos);
    EXPECT_EQ(settings.rfind("[Main]\r\nFormVersion=0\r\n", 0), 0u);

    Start();
    const QString euro = QString::fromUtf8("\u20AC");
    EXPECT_EQ(form->windowTitle(), "My shop");
    EXPECT_EQ(form->pos(), QPoint(200, 150));
    EXPECT_EQ(Edit("P001Name")->text(), "Blue mug");
    EXPECT_EQ(Edit("P001Price")->text(), euro + "4.50");
    EXPECT_EQ(Edit("P001Quantity")->text(), "12");
    EXPECT_EQ(Edit("P001Total")->text(), euro + "54.00");
    EXPECT_EQ(Edit("FinalTotal")->text(), euro + "54.00");
    EXPECT_EQ(Edit("TotalJanuary")->text(), euro + "54.00");
    EXPECT_EQ(Edit("TotalYear")->text(), euro + "54.00");
    EXPECT_EQ(Find<QComboBox>("Currency")->currentText(), "Euro (" + euro + ")");
    EXPECT_TRUE(Find("ReportJan")->isEnabled());
}

TEST_F(MainWindowTest, UnwritableSettingsStillCloseAndWriteTheNotes) {
    Start();
    std::filesystem::create_directories(dir.Path() / "config" / "Quilvern.ini");
    test::ErrorBoxWatcher boxes;
    EXPECT_TRUE(Close());
    form.reset();
    QTest::qWait(50);
    EXPECT_EQ(boxes.texts.size(), 14u) << "each storage at the close and again at the end";
    for (const std::string& text : boxes.texts)
        EXPECT_EQ(text, "Unable to write to Quilvern.ini.");
    EXPECT_TRUE(dir.Exists("Notes.txt"));
}

}  // namespace
}  // namespace quilvern

namespace quilvern {
namespace {

TEST_F(MainWindowTest, EveryControlHasANameForScreenReaders) {
    Start();
    form->PopAboutClick();
    form->AboutCloseBtnClick();
    form->ReportMonthClick(1);
    form->ReportCloseClick();
    for (int page = 1; page <= 5; ++page)
        form->PageClick(page);
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        if (qobject_cast<QMenu*>(widget) != nullptr)
            continue;
        auto* frame = qobject_cast<QFrame*>(widget);
        if (frame != nullptr && frame->frameShape() == QFrame::HLine)
            continue;                 // decoration
        bool insideAControl = false;  // Qt's own parts: a text area's scroll bars, a list
        for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
            insideAControl = insideAControl || qobject_cast<QAbstractScrollArea*>(up) != nullptr ||
                             qobject_cast<QComboBox*>(up) != nullptr;
        }
        if (insideAControl || widget->window() != form.get())
            continue;
        EXPECT_FALSE(widget->accessibleName().isEmpty())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
    }
    EXPECT_EQ(Find("P007Price")->accessibleName(), "Price of line 7");
    EXPECT_EQ(Find("Transfer")->accessibleName(), "Transfer");
}

TEST_F(MainWindowTest, KeyboardReachesThePagesTheViewsAndTheViewer) {
    Start();
    QWidget* focus = Edit("P001Price");
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_3, Qt::AltModifier);
    EXPECT_TRUE(Find("Page03Panel")->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(Find("Page04Panel")->isVisible());
    QTest::keyClick(form.get(), Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_TRUE(Find("Page02Panel")->isVisible());
    QTest::keyClick(form.get(), Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(Find("TransferPanel")->isVisible());
    QTest::keyClick(form.get(), Qt::Key_Y, Qt::AltModifier);
    EXPECT_TRUE(Find("ReportPanel")->isVisible());
    QTest::keyClick(form.get(), Qt::Key_1, Qt::AltModifier);
    EXPECT_FALSE(Find("Page01Panel")->isVisible()) << "the viewer covers the page buttons";
    QTest::keyClick(form.get(), Qt::Key_W, Qt::AltModifier);
    EXPECT_TRUE(Find("TransferPanel")->isVisible());
    form->PopAboutClick();
    QTest::keyClick(form.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_FALSE(Find("NotePanel")->isVisible()) << "About blocks the top bar";
}

TEST_F(MainWindowTest, SeparatorsFollowTheLocale) {
    Start();
    form->Data().sheet.lines[0].price.SetValue(1234.5L);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(form.get(), &change);
    EXPECT_EQ(Edit("P001Price")->text(), "$1.234,50");
    TypeInto("P002Price", "2,5");
    EXPECT_EQ(form->Data().sheet.lines[1].price.Value(), 2.5L);
    QLocale::setDefault(QLocale::c());
    QApplication::sendEvent(form.get(), &change);
    EXPECT_EQ(Edit("P001Price")->text(), "$1,234.50");
}

}  // namespace
}  // namespace quilvern

namespace quilvern {
namespace {

// At a device pixel ratio of 2 the layout stays in device-independent pixels and the
// pictures are drawn from their SVG at the full density, not blown up from 16 x 16.
TEST_F(MainWindowTest, DrawsSharpAtTwiceThePixelDensity) {
    Start();
    QImage single(form->size(), QImage::Format_ARGB32);
    form->render(&single);
    QImage twice(form->size() * 2, QImage::Format_ARGB32);
    twice.setDevicePixelRatio(2);
    form->render(&twice);
    EXPECT_EQ(twice.size(), QSize(1048, 816));

    const QRect button = Find("Transfer")->geometry();
    const QImage sharp = twice.copy(QRect(button.topLeft() * 2, button.size() * 2));
    const QImage blownUp = single.copy(button).scaled(button.size() * 2, Qt::IgnoreAspectRatio,
                                                      Qt::FastTransformation);
    EXPECT_NE(sharp.convertToFormat(QImage::Format_ARGB32),
              blownUp.convertToFormat(QImage::Format_ARGB32));

    for (const QString& picture : QDir(":/icons").entryList()) {
        EXPECT_TRUE(picture.endsWith(".svg")) << picture.toStdString() << " is no vector picture";
    }
    const QPixmap icon = ImageIcon("transfer").pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.devicePixelRatio(), 2.0);
}

}  // namespace
}  // namespace quilvern

namespace quilvern {
namespace {

TEST_F(MainWindowTest, TheWordsBesideTheMonthButtonsAreTheirClickTargets) {
    Start();
    form->Data().sheet.lines[0].price.SetValue(2.5L);
    form->Data().sheet.lines[0].quantity.SetValue(4);
    form->TransferClick();
    EXPECT_EQ(Find("TransferMar")->geometry(), QRect(9, 44, 22, 22));
    EXPECT_EQ(Find("ReportMar")->geometry(), QRect(9, 68, 22, 22));
    QWidget* report = Find("ReportMarCaption");
    EXPECT_FALSE(report->isEnabled()) << "no report yet";
    QWidget* transfer = Find("TransferMarCaption");
    QTest::mouseClick(transfer, Qt::LeftButton, {}, transfer->rect().center());
    EXPECT_EQ(Edit("TotalMarch")->text(), "$10.00");
    EXPECT_TRUE(dir.Exists("Report03.txt"));
    ASSERT_TRUE(report->isEnabled());
    QTest::mouseClick(report, Qt::LeftButton, {}, report->rect().center());
    EXPECT_TRUE(Find("ReportPanel")->isVisible());
}

TEST_F(MainWindowTest, KeyboardReachesTheMonthButtonsThroughTheirBoxes) {
    Start();
    form->Data().sheet.lines[0].price.SetValue(2.5L);
    form->Data().sheet.lines[0].quantity.SetValue(4);
    form->TransferClick();
    QWidget* january = Find("BoxJan");
    january->setFocus(Qt::TabFocusReason);
    QTest::keyClick(january, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "BoxFeb");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R);
    EXPECT_FALSE(Find("ReportPanel")->isVisible()) << "no report yet: the button is disabled";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Edit("TotalFebruary")->text(), "$10.00");
    EXPECT_TRUE(dir.Exists("Report02.txt"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R);
    EXPECT_TRUE(Find("ReportPanel")->isVisible());
}

}  // namespace
}  // namespace quilvern

namespace quilvern {
namespace {

class ClearUndoMenuTest : public MainWindowTest {
  protected:
    // The menu as the user opens it, then closed again: its entries as shown then.
    QStringList MenuEntries() {
        auto* menu = Find<QMenu>("ResetPopUp");
        menu->popup(form->mapToGlobal(QPoint(240, 20)));
        QStringList entries;
        for (QAction* action : menu->actions()) {
            if (action->isVisible())
                entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        menu->hide();
        return entries;
    }
    void Choose(const char* item) {
        Find<QMenu>("ResetPopUp")->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }
    ProductLine& Line(int n) { return form->Data().sheet.lines[n - 1]; }
};

TEST_F(ClearUndoMenuTest, OfferedAtTheTopOfTheMenuRightAfterAClear) {
    Start();
    Line(1).quantity.SetValue(4);
    Line(1).price.SetValue(2.5L);
    const QStringList plain = MenuEntries();
    EXPECT_EQ(plain.front(), QStringLiteral("Clear Names")) << "nothing to undo yet";

    Choose("PopQuantity");
    EXPECT_EQ(Edit("FinalTotal")->text(), "$0.00");
    EXPECT_EQ(MenuEntries(),
              QStringList({QStringLiteral("Undo Clear Quantities\tCtrl+Z"), QStringLiteral("-")}) +
                  plain);

    Choose("PopUndo");
    EXPECT_EQ(Line(1).quantity.Text(), "4");
    EXPECT_EQ(Edit("FinalTotal")->text(), "$10.00");
    EXPECT_EQ(MenuEntries(), plain) << "one level only";
}

TEST_F(ClearUndoMenuTest, CtrlZOutsideATextFieldPutsBackTheReportFiles) {
    const std::string march = "MARCH SALES\r\n\r\n\r\nMARCH TOTAL = $0.00\r\n";
    dir.Write("Report03.txt", march);
    Start();
    Choose("PopTransfer");
    ASSERT_FALSE(dir.Exists("Report03.txt"));
    ASSERT_FALSE(Find("ReportMar")->isEnabled());

    Find("TopPanel")->setFocus();
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);

    EXPECT_EQ(dir.Read("Report03.txt"), march);
    EXPECT_TRUE(Find("ReportMar")->isEnabled());
}

TEST_F(ClearUndoMenuTest, CtrlZInATextFieldUndoesItsTypingFirstAndThenTheClear) {
    Start();
    Line(1).price.SetValue(2.5L);
    Choose("PopPrice");
    TypeInto("P001Name", "x");  // a name is no price: the undo stays offered

    QTest::keyClick(Edit("P001Name"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Line(1).name.Text(), "Product 1") << "the field's own undo";
    EXPECT_EQ(Line(1).price.FormattedText(), "$0.00");

    QTest::keyClick(Edit("P001Name"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Line(1).price.FormattedText(), "$2.50") << "nothing left in the field: the clear";
}

TEST_F(ClearUndoMenuTest, CtrlZInAFieldWithoutUndoOfItsOwnUndoesTheClear) {
    Start();
    Line(1).quantity.SetValue(4);
    TypeInto("P002Quantity", "3");
    Choose("PopQuantity");

    QTest::keyClick(Edit("P002Quantity"), Qt::Key_Z, Qt::ControlModifier);

    EXPECT_EQ(Line(1).quantity.Text(), "4");
    EXPECT_EQ(Line(2).quantity.Text(), "3");
}

TEST_F(ClearUndoMenuTest, NotOfferedAfterATransfer) {
    Start();
    Line(1).quantity.SetValue(4);
    Choose("PopName");
    form->TransferClick();
    QTest::mouseClick(Find("TransferJan"), Qt::LeftButton);

    EXPECT_EQ(MenuEntries().front(), QStringLiteral("Clear Names"));
    Find("TopPanel")->setFocus();
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Line(1).name.Text(), "");
}

}  // namespace
}  // namespace quilvern
