#pragma once

#include <QObject>

class QSocketNotifier;
class frmTessary;

// The system or the desktop ends the editor's session. SIGTERM (shutdown,
// kill) and SIGHUP (a closed terminal) write the recovery copy and end the
// program; the session manager's commit-data request writes it too and,
// where the session manager allows, asks the usual question about unsaved
// changes. One at a time per program: the signal handlers are the process's.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    explicit SessionEnd(frmTessary &window);
    ~SessionEnd() override;

private:
    QSocketNotifier *m_signals = nullptr;
};
