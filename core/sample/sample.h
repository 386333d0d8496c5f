// The sample data set: a coherent, deterministic set of every data file the reports read, and
// the settings file, written into a folder. docs/sample-data.md says what each sample bid
// exercises.
//
// WriteSample(dir, scale, progress) creates `dir` when missing and (re)creates in it, empty,
// the catalog files, the bid and reference files, COMPANY and the two letter files, then fills
// them; the settings file TENDIX.INI of `dir` gets the keys the reports read (other lines of an
// existing settings file are kept). The cross-reference files of the transfer program and the
// fax server's job file are not written.
//
// The same scale always gives the same records, byte for byte (a fixed seed; no clock, no
// locale). Scale 1 is the small set the report tests and the main job use. Each step of the
// scale beyond 1 adds brands, distributors, agencies, products and 25 bids of 20 lines with
// about two offered products each, so scale 1000 holds about 1,000,000 PRODBID lines; scales
// above kMaxScale are refused. Every join holds at any scale: each offered product's brand and
// product exist, each distributor and competitor named on a bid exists, every history link
// points at an existing line of an earlier bid, every standard-comment link at a comment.
//
// Each file (the bid files together) is written in one transaction with the store's prepared
// inserts. progress gets one line per file as it is written ("PRODBID: 999040 records").
#pragma once

#include <ostream>
#include <string>

#include "runtime/base/status.h"

namespace tdx::core {

inline constexpr int kMaxSampleScale = 1000;
inline constexpr int kSampleBadScale = 3201;  // scale outside 1..kMaxSampleScale
inline constexpr int kSampleNoFolder = 3202;  // the folder cannot be created

Status WriteSample(const std::string& dir, int scale, std::ostream& progress);

}  // namespace tdx::core
