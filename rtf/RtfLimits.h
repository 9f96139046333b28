#pragma once

#include <QtGlobal>

#include <cstddef>

// Bounds shared by the RTF reader and writer. They keep hostile files from costing
// more than their size, and keep what is written inside what word processors read.
inline constexpr int kMaxFontSize = 3276;                // half-points: 1638 pt, the largest word processors offer
inline constexpr std::size_t kMaxGroupDepth = 256;       // deeper groups share the innermost state
inline constexpr qsizetype kMaxPictureBytes = 64 * 1024 * 1024;
inline constexpr std::size_t kMaxCodePages = 32;
inline constexpr qsizetype kMaxCachedFormats = 1024;     // distinct character and paragraph formats remembered
inline constexpr int kMaxUnicodeSkip = 16;
inline constexpr int kMaxIndent = 31680;                 // twips: 22 inches
inline constexpr double kMaxPictureExtent = 8000.0;      // pixels
inline constexpr int kMaxPictureScale = 1000;            // percent
inline constexpr std::size_t kMaxTableColumns = 63;      // Word's own limit
inline constexpr int kMaxTableRows = 1000;               // later rows start another table
inline constexpr int kMaxBorderWidth = 255;              // twips, the widest \brdrw RTF allows
inline constexpr int kMaxListLevel = 8;                  // \ilvl counts 0 to 8

inline constexpr int kDefaultFontSize = 24;              // half-points, RTF's default of 12 pt
