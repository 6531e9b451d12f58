// The progress of the running command, as both front ends show it, from the figures the
// engine publishes (core/cancel.h):
//   "12.3 s  45%  about 15 s left"   (English)
//   "12.3 秒  45%  残り約 15 秒"       (Japanese)
// The share appears where the running loop publishes its length, the time left where its
// position measures the work done and that work has run for a second: the time spent on
// it, scaled by the share still to do. Read on the front end's thread while the worker
// runs; header-only, so that a front end over a stand-in engine formats it the same way.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <algorithm>

#include "core/cancel.h"

// The seconds left of the running loop's work, or −1 where no estimate is due (no loop
// that measures its work, less than a second of it, nothing done yet).
inline double progress_time_left() {
  const long long since = progress_work_since.load(std::memory_order_relaxed);
  const long long len = progress_len.load(std::memory_order_relaxed);
  const long long pos = progress_pos.load(std::memory_order_relaxed);
  if (since == 0 || len <= 0 || pos <= 0 || pos > len) return -1;
  const double spent = (double)(progress_clock_ns() - since) * 1e-9;
  if (spent < 1.0) return -1;
  return spent * (double)(len - pos) / (double)pos;
}

// Writes the progress text for a command that has run `seconds` into buf (cap bytes; a
// shorter buffer receives the text cut off).
inline void progress_status_text(char *buf, size_t cap, double seconds, bool japanese) {
  if (!buf || cap == 0) return;
  const long long len = progress_len.load(std::memory_order_relaxed);
  const long long pos = progress_pos.load(std::memory_order_relaxed);
  char text[128];  // the longest text is below 50 bytes
  int n = std::snprintf(text, sizeof text, japanese ? "%.1f 秒" : "%.1f s", seconds);
  if (n > 0 && n < 64 && len > 0 && pos >= 0 && pos <= len) {
    n += std::snprintf(text + n, sizeof text - n, "  %d%%", (int)(pos * 100 / len));
    const double left = progress_time_left();
    if (left >= 0) {
      // Whole seconds up to 99, whole minutes beyond.
      const bool minutes = left >= 99.5;
      const long amount = std::lround(minutes ? std::min(left / 60, 1e6) : left);
      const long shown = amount < 1 ? 1 : amount;
      if (japanese)
        std::snprintf(text + n, sizeof text - n, minutes ? "  残り約 %ld 分" : "  残り約 %ld 秒", shown);
      else
        std::snprintf(text + n, sizeof text - n, minutes ? "  about %ld min left" : "  about %ld s left",
                      shown);
    }
  }
  const size_t k = std::strlen(text) < cap - 1 ? std::strlen(text) : cap - 1;
  std::memcpy(buf, text, k);
  buf[k] = 0;
}
