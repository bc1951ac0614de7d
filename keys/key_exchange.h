#pragma once
// How a key talks to the instrument. A key's command goes out only while the
// link is established; with the link down it is skipped without a word and
// the panel changes all the same. A command that should have gone out and
// did not (a failed write, no reply in time) ends the key where it happened:
// what was done stays done, and whoever ran the key says so in one status
// line naming it.

#include <QString>
#include <QStringView>
#include <optional>

struct Panel;

namespace keys {

// Sends one command of a key. False only when the link is up and the
// command did not go out.
bool keySend(Panel &p, const QString &command);

// Asks one query of a key, only while the link is up (callers test
// REMOTE_OK first, as a query's answer decides what follows). Nothing when
// the link is down, the query did not go out or no reply came.
std::optional<QString> keyAsk(Panel &p, const QString &query);

// The status line of a key that ended at a failed exchange: the key, the
// command or query and why ("DCV key: \"conf:volt:dc\" failed, ...").
void keyEnded(Panel &p, QStringView key);

} // namespace keys
