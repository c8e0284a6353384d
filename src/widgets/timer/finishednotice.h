// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace tavlo {

// Tells the desktop's notification service, when one runs, that a countdown
// has finished, so that a timer hidden behind other windows is still heard.
// Never waits: the message is sent from a thread of its own, and without a
// session bus or a notification service nothing happens.
void sendFinishedNotice(const QString &title, const QString &text);

// Replaces the sending for tests; an empty function restores the real one.
void setFinishedNoticeForTesting(std::function<void(const QString &, const QString &)> send);

} // namespace tavlo
