#pragma once

class QWidget;

namespace tavlo {

// Window-manager hints Qt has no API for. They do nothing off X11.

// Keeps the window out of taskbars and pagers; call before the first show.
void setSkipTaskbar(QWidget *window);

} // namespace tavlo
