// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A seam in the safe writer, so that a test replays a race between the writer and
// another program changing the names at one exact point instead of hoping for it in a
// timing loop. The library that ships is the one the tests exercise: its definition
// (write_seam.cpp, an object file of its own) does nothing, and a test program that
// defines the function itself is linked with that definition instead, the library's
// object then never being taken from the archive.

namespace vostrel::files::seam {

// Called once the writer has opened what the name names and taken its owner and mode,
// just before it writes.
void afterResolving();

}  // namespace vostrel::files::seam
