#include "platform/QtEventPump.h"

#include <QCoreApplication>

void CQtEventPump::PumpPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }
