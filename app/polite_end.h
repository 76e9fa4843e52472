#pragma once
// The ends the window does not ask for. SIGTERM, SIGHUP (the terminal that started the
// program closes) and SIGINT save as closing the window does, without any box, and end
// the program; what cannot be saved then stays in the recovery snapshot. When the
// display goes away and Qt ends the process, the snapshot is written on the way out.
// The signal handler only writes a byte to a pipe; everything else runs in the event
// loop that reads it. A file-size limit fails a write instead of ending the program.
#include <QSocketNotifier>
#include <memory>

namespace quilvern {

class TForm1;

class PoliteEnd {
  public:
    explicit PoliteEnd(TForm1& form);
    ~PoliteEnd();
    PoliteEnd(const PoliteEnd&) = delete;
    PoliteEnd& operator=(const PoliteEnd&) = delete;

  private:
    void End();

    TForm1& form_;
    std::unique_ptr<QSocketNotifier> signals_;
};

}  // namespace quilvern
