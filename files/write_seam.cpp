// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The shipped side of the writer's seam: nothing happens there. Alone in its file, so
// that a test program's own definition takes its place at link time.
#include "files/write_seam.h"

namespace vostrel::files {

void seam::afterResolving() {}

}  // namespace vostrel::files
