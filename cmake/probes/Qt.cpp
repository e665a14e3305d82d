// Must not compile as a unit of app/: Qt stays inside platform/ui.
#include <QWidget>

int probeQt() { return sizeof(QWidget) > 0; }
