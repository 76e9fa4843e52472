#pragma once
// The ends the window does not ask for. SIGTERM, SIGHUP (the terminal that started the
// program closes) and SIGINT save as closing the window does, without any box, and end
// the program; what cannot be saved then stays in the recovery snapshot. When the
// display goes away and Qt ends the process, the snapshot is written on the way out.
// The signal handler only writes a byte to a pipe; everything else runs in the event
// loop that reads it. A file-size limit fails a write instead of ending the program.
// It is installed before anything else, so a signal that comes while a box of the
// start-up is open ends the program politely too: before the window is attached there
// is nothing to save, so the boxes close and the start ends having written nothing.
#include <QSocketNotifier>
#include <memory>

namespace quilvern {

class TForm1;

class PoliteEnd {
  public:
    PoliteEnd();
    ~PoliteEnd();
    PoliteEnd(const PoliteEnd&) = delete;
    PoliteEnd& operator=(const PoliteEnd&) = delete;

    // From now on a signal closes this window as closing it does.
    void Attach(TForm1& form);
    // A signal came before the window was attached: the start must end.
    bool Requested() const { return requested_; }

  private:
    void End();

    TForm1* form_ = nullptr;
    bool requested_ = false;
    std::unique_ptr<QSocketNotifier> signals_;
};

}  // namespace quilvern
