// One chart request at a time in the whole process. A request works on state
// the library keeps per process (the subgroup series, the drawing scale and
// the table of drawing objects), so two threads asking for pages or figures at
// once take turns here and each gets exactly its own.
#pragma once
#include <mutex>

std::mutex& SPC_RequestLock();
