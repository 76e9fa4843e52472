#include "ui/print_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "support/file_faults.h"
#include "support/temp_dir.h"
#include "ui/dialog_answerer.h"
#include "ui/error_box_watcher.h"
#include "ui/main_window.h"
#include "ui/pdf_text.h"
#include "ui/print_module_loader.h"

namespace quilvern {
namespace {

using test::DialogAnswerer;
using test::PdfPages;

const std::string kMarch =
    "MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\nMARCH TOTAL = $10.00\r\n";

// The window over a fresh program folder, with a home of its own for the documents
// folder the PDFs are offered in, and March's report open in the viewer.
class PrintCommandsTest : public ::testing::Test {
  protected:
    PrintCommandsTest() : home_(qgetenv("HOME")) {
        qputenv("HOME", QByteArray::fromStdString(dir.File("home")));
        std::filesystem::create_directory(dir.Path() / "home");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.File("config")));
        dir.Write("Report03.txt", kMarch);
        form = std::make_unique<TForm1>(dir.WithSeparator());
        form->show();
        QApplication::setActiveWindow(form.get());
        form->Data().setTitle.SetText("Stall \x80");
        form->TransferClick();
        QTest::mouseClick(Find("ReportMar"), Qt::LeftButton);
    }
    ~PrintCommandsTest() override { qputenv("HOME", home_); }

    template <typename T = QWidget>
    T* Find(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // The body of the first page as pdftotext reads it, header and foot left out.
    std::vector<QString> FirstPage(const std::string& path) {
        const auto pages = PdfPages(path);
        EXPECT_FALSE(pages.empty());
        return pages.empty() ? std::vector<QString>{} : pages.front();
    }

    test::TempDir dir;
    std::unique_ptr<TForm1> form;

  private:
    QByteArray home_;
};

TEST_F(PrintCommandsTest, ButtonsStandBesideCopyAndCloseWhichStayWhereTheyWere) {
    EXPECT_EQ(Find("ReportCopy")->geometry(), QRect(5, 6, 125, 23));
    EXPECT_EQ(Find("ReportClose")->geometry(), QRect(131, 6, 139, 23));
    QWidget* print = Find("ReportPrint");
    QWidget* pdf = Find("ReportSavePdf");
    EXPECT_EQ(Find<QToolButton>("ReportPrint")->text(), QString::fromUtf8("Print…"));
    EXPECT_EQ(Find<QToolButton>("ReportSavePdf")->text(), QString::fromUtf8("Save as PDF…"));
    EXPECT_GT(print->x(), Find("ReportClose")->geometry().right());
    EXPECT_GT(pdf->x(), print->geometry().right());
    EXPECT_LE(pdf->geometry().right(), form->width());
    for (QWidget* button : {print, pdf}) {
        EXPECT_TRUE(button->isVisible());
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << "image buttons never take the focus";
        EXPECT_GE(button->width(), button->sizeHint().width()) << "the caption fits";
    }
}

TEST_F(PrintCommandsTest, SaveAsPdfOffersTheReportsNameAndWritesWhatTheViewerShows) {
    std::filesystem::create_directory(dir.Path() / "home" / "Documents");
    auto* text = Find<QPlainTextEdit>("ReportText");
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, QString::fromUtf8("Paid £5"));
    QString offered;
    DialogAnswerer<QFileDialog> answer("SavePdfDialog", [&](QFileDialog& dialog) {
        offered = dialog.selectedFiles().value(0);
        static_cast<QDialog&>(dialog).accept();  // as the Save button does
    });

    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);

    EXPECT_EQ(answer.answered, 1);
    const std::string path = dir.File("home/Documents/Report03.pdf");
    EXPECT_EQ(offered.toStdString(), path);
    const auto page = FirstPage(path);
    ASSERT_FALSE(page.empty());
    EXPECT_TRUE(page[0].startsWith(QString::fromUtf8("Stall €")));
    const auto total = std::find(page.begin(), page.end(), QStringLiteral("MARCH TOTAL = $10.00"));
    ASSERT_NE(total, page.end());
    EXPECT_EQ(*(total + 1), QString::fromUtf8("Paid £5")) << "the user's edit is printed too";
}

TEST_F(PrintCommandsTest, ACancelledSaveWritesNothing) {
    DialogAnswerer<QFileDialog> answer("SavePdfDialog",
                                       [](QFileDialog& dialog) { dialog.reject(); });
    QTest::mouseClick(Find("ReportSavePdf"), Qt::LeftButton);
    EXPECT_EQ(answer.answered, 1);
    EXPECT_FALSE(dir.Exists("home/Report03.pdf"));
}

TEST_F(PrintCommandsTest, SaveAsPdfIntoAFolderThatTakesNoFileNamesTheFile) {
    std::filesystem::create_directory(dir.Path() / "home" / "locked");
    test::UnwritableDirectory locked(dir.Path() / "home" / "locked");
    if (!locked.Active())
        GTEST_SKIP() << "cannot make a directory unwritable here";
    const std::string path = dir.File("home/locked/march.pdf");
    test::ErrorBoxWatcher boxes;
    DialogAnswerer<QFileDialog> answer("SavePdfDialog", [&](QFileDialog& dialog) {
        // Once its window is active the name field has the focus, and the dialog never
        // changes a name field that has the focus: a user would type there instead.
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        if (QWidget* focused = dialog.focusWidget())
            focused->clearFocus();
        dialog.selectFile(QString::fromStdString(path));
        static_cast<QDialog&>(dialog).accept();
    });

    QTest::mouseClick(Find("ReportSavePdf"), Qt::LeftButton);

    QTRY_COMPARE(boxes.texts.size(), std::size_t{1});
    EXPECT_EQ(boxes.texts[0], "Cannot create file " + path + ".");
    EXPECT_FALSE(std::filesystem::exists(path));
}

// The print module is loaded the first time the user prints, never at start-up; with
// no printer set up, its dialog prints to a PDF file under the report's own name.
TEST_F(PrintCommandsTest, PrintLoadsPrintSupportOnlyWhenFirstUsed) {
    EXPECT_FALSE(PrintModuleLoaded());
    DialogAnswerer<QDialog> answer("PrintDialog", [](QDialog& dialog) { dialog.accept(); });

    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);

    EXPECT_EQ(answer.answered, 1);
    EXPECT_TRUE(PrintModuleLoaded());
    const auto page = FirstPage(dir.File("home/Report03.pdf"));
    ASSERT_GE(page.size(), 3u);
    EXPECT_EQ(page.back().trimmed(), QStringLiteral("page 1 of 1"));
    EXPECT_NE(std::find(page.begin(), page.end(), QStringLiteral("Tea @ $2.50 x 4 = $10.00")),
              page.end());
}

TEST_F(PrintCommandsTest, TheViewersContextMenuOffersBothAfterTheTextsOwnEntries) {
    QStringList texts;
    DialogAnswerer<QMenu> look("ReportTextMenu", [&texts](QMenu& menu) {
        for (QAction* action : menu.actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        menu.close();
    });
    auto* text = Find<QPlainTextEdit>("ReportText");
    const QPoint at(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, text->viewport()->mapToGlobal(at));
    QApplication::sendEvent(text->viewport(), &event);

    QTRY_COMPARE(look.answered, 1);
    ASSERT_GE(texts.size(), 4);
    EXPECT_TRUE(texts.join(QLatin1Char('|')).contains(QStringLiteral("Select All")));
    EXPECT_EQ(texts.mid(texts.size() - 3),
              (QStringList{QStringLiteral("-"), QString::fromUtf8("Print…\tCtrl+P"),
                           QString::fromUtf8("Save as PDF…\tCtrl+Shift+S")}));
}

}  // namespace
}  // namespace quilvern
