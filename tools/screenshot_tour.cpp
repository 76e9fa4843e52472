// Starts the real window on an X display (Xvfb under `make screenshot`), fills in a
// small example sheet, opens each view in turn with the mouse and saves one picture
// per view: `screenshot_tour OUTPUT_FOLDER`.
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>

#include "app/application.h"
#include "ui/main_window.h"

namespace {

void Save(quilvern::TForm1& form, const QString& folder, const char* name) {
    QTest::qWait(150);
    const QPixmap picture = form.screen()->grabWindow(form.winId());
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + ".png");
    if (!picture.save(path))
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
}

// The top bar's menu right after "Clear Quantities", with the undo at its top. The
// menu is a window of its own, so the picture is taken of the screen around both.
void SaveUndoMenu(quilvern::TForm1& form, const QString& folder) {
    form.PageClick(1);
    auto* menu = form.findChild<QMenu*>(QStringLiteral("ResetPopUp"));
    menu->findChild<QAction*>(QStringLiteral("PopQuantity"))->trigger();
    menu->popup(form.mapToGlobal(QPoint(240, 24)));
    QTest::qWait(150);
    const QRect area = form.geometry().united(menu->geometry());
    const QPixmap picture =
        form.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    menu->hide();
    if (!picture.save(QDir(folder).filePath(QStringLiteral("clear-undo.png"))))
        std::fprintf(stderr, "could not save the undo menu\n");
    form.PopUndoClick();
}

void Click(quilvern::TForm1& form, const char* button) {
    QTest::mouseClick(form.findChild<QWidget*>(QString::fromLatin1(button)), Qt::LeftButton);
}

void FillExample(quilvern::FormData& data) {
    struct Line {
        const char* name;
        long double price;
        int quantity;
    };
    const Line lines[] = {{"Green tea, 100 g", 3.95L, 12}, {"Earl Grey, 250 g", 6.5L, 4},
                          {"Blue mug", 4.5L, 7},           {"Honey jar", 5.25L, 9},
                          {"Shortbread tin", 8.75L, 3},    {"Teapot, 1 litre", 24.0L, 1}};
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        data.sheet.lines[i].name.SetText(lines[i].name);
        data.sheet.lines[i].price.SetValue(lines[i].price);
        data.sheet.lines[i].quantity.SetValue(lines[i].quantity);
    }
    data.ledger.Transfer(1);
    data.ledger.Transfer(2);
    data.noteText.SetText("Order more Earl Grey on Friday.\r\nMarket stall fee is due on the 1st.");
}

}  // namespace

int main(int argc, char** argv) {
    quilvern::Application application(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(output);
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    quilvern::TForm1 form(folder.path().toStdString() + "/");
    FillExample(form.Data());
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    Save(form, output, "sheet");
    Click(form, "Page02");
    Save(form, output, "sheet-page2");
    Click(form, "Transfer");
    Save(form, output, "transfer");
    Click(form, "ReportJan");
    Save(form, output, "report");
    Click(form, "ReportClose");
    Click(form, "Settings");
    Save(form, output, "settings");
    Click(form, "Notes");
    Save(form, output, "notes");
    form.PopAboutClick();
    Save(form, output, "about");
    form.AboutCloseBtnClick();
    SaveUndoMenu(form, output);
    return 0;
}
