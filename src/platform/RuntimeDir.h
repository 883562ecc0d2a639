#pragma once

#include <QString>

// The per-user directory for the instance lock and the host socket:
// $TACHORA_RUNTIME_DIR, else $XDG_RUNTIME_DIR/tachora, else /tmp/tachora-<uid>,
// created with mode 0700.
namespace RuntimeDir {

QString path();
// Creates the directory if needed and makes sure it is ours and private. Returns an error
// text, empty on success.
QString ensure(const QString& dir);

} // namespace RuntimeDir
