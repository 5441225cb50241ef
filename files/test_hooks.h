// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A way into the safe writer for tests, in builds with tests only: a race between the
// writer and another program changing the names is replayed at one exact point
// instead of being hoped for in a timing loop.

#include <functional>

namespace vostrel::files::test_hooks {

// `hook` runs once the writer has opened what the name names and taken its owner and
// mode, just before it writes; an empty function removes it.
void setAfterResolving(std::function<void()> hook);

}  // namespace vostrel::files::test_hooks
