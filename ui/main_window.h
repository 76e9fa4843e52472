#pragma once
// The main window Form1: builds every control at its place and binds each to its model
// in FormData, switches the views, and wires start-up, the close and the crash recovery
// together. The rules about money, reports, files and snapshots live in the models and
// units it wires; it holds none of its own.
#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "core/clear_undo.h"
#include "core/crash_recovery.h"
#include "core/form_data.h"
#include "core/views.h"
#include "storage/form_events.h"

class QLabel;
class QLineEdit;
class QComboBox;
class QAction;
class QMenu;
class QToolButton;

namespace quilvern {

class AboutPanel;
class BevelPanel;
class MoneyEdit;
class QtWindowHost;
class SettingsStorages;
class QtAlarm;
class TextView;
class TForm1;

// The one main window, reachable from the moment its construction begins.
inline TForm1* Form1 = nullptr;

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // The program directory (with its trailing separator) is the only thing the
    // window takes from outside: the executable's folder, or a test's folder. The
    // settings file is where SettingsFilePath() says.
    explicit TForm1(std::string programDirectory);
    ~TForm1() override;

    FormData& Data() { return data_; }
    // Wrapped by the settings storages; raised by show, close and destruction.
    FormEvents& Events() { return events_; }

    void FormCreate();
    void FormClose();  // throws when the notes cannot be written

    // For an end the window did not ask for (a signal, a lost display): keeps everything
    // in the recovery snapshot, unless the run has already ended cleanly.
    void KeepRecoverySnapshot();

    void PageClick(int page);  // Page01Click ... Page05Click
    void TransferClick();
    void SettingsClick();
    void NotesClick();
    void PopAboutClick();
    void AboutCloseBtnClick();
    void SetTitleChange();

    void TransferMonthClick(int month);  // TransferJanClick ... TransferDecClick
    void ReportMonthClick(int month);    // ReportJanClick ... ReportDecClick
    void YearReportClick();
    void ReportCopyClick();
    void ReportCloseClick();
    void ReportPrintClick();
    void ReportSavePdfClick();

    void PopNameClick();
    void PopPriceClick();
    void PopQuantityClick();
    void PopTransferClick();
    void PopUndoClick();  // "Undo Clear ...", offered right after a clear command

    // The panel of a view, built when first needed.
    QWidget& ViewPanel(View view);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void BuildTopBar();
    void BuildMenu();
    void BuildShortcuts();
    void BuildPage(int page);
    void BuildTransferView();
    void BuildSettingsView();
    void BuildNotesView();
    void BuildReportViewer();
    void BuildReportOutput();
    void SyncReportButton(int month);
    void BuildView(View view);
    void ShowView(View view);
    void ShowViewer();
    void SetOverlayEnabled(bool enabled);
    void ReadSeparators();
    bool SaveForClose();
    void SaveOnSessionEnd();
    void TakeNoteEdits();
    void RestoreShownWindow();
    void ShowRecoveryNotice(const std::exception& error);
    void ShowUndoItem();

    FormData data_;
    ClearUndo undo_{data_.sheet, data_.ledger, data_.dirLabel};
    FormEvents events_;
    std::string programDirectory_;
    std::string settingsFile_;
    std::unique_ptr<QtWindowHost> host_;
    // Declared after the data and the handlers they wrap: they detach first.
    std::unique_ptr<SettingsStorages> storages_;
    std::unique_ptr<QtAlarm> alarm_;
    std::unique_ptr<CrashRecovery> recovery_;

    BevelPanel* reportPanel_ = nullptr;
    BevelPanel* topPanel_ = nullptr;
    std::array<BevelPanel*, kViewCount> viewPanels_{};
    std::array<bool, kViewCount> viewBuilt_{};
    std::array<QToolButton*, kViewCount> viewButtons_{};
    AboutPanel* aboutPanel_ = nullptr;
    QLabel* dirLabel_ = nullptr;
    QLabel* fileLabel_ = nullptr;
    QLabel* totalLabel1_ = nullptr;
    QLabel* totalLabel2_ = nullptr;
    MoneyEdit* finalTotal_ = nullptr;
    QWidget* reportTopPanel_ = nullptr;
    TextView* reportText_ = nullptr;
    TextView* reportTemp_ = nullptr;
    TextView* noteText_ = nullptr;
    QComboBox* currency_ = nullptr;
    QMenu* resetPopUp_ = nullptr;
    QAction* popUndo_ = nullptr;
    QAction* undoSeparator_ = nullptr;
    std::array<QToolButton*, kMonthCount> reportButtons_{};
};

}  // namespace quilvern
