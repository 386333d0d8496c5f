// The bid listing: bid headers received (or opened) in a date range, one line per bid, narrowed
// by conditions on the bid header and on the bid's product lines, ending with the number of bids
// listed. Preview and print only.
//
//   BIDLISTINGRPTMNU   the option window "Bid Listing Report" (exported; no arguments, no
//                      result, GlobalResponse 2 on return). It stays open after each run.
//   BidListingRpt      the report procedure the window's Print calls, with its two switches:
//                      escalation-only and non-profit-only (1 = only bids with that flag).
//                      Returns the run's response (1 completed or printed, 2 cancelled), also
//                      left in GlobalResponse.
//
// Selection. The view reads HEADBID in received-date order (key HEA:BY_DATE_RECD; equal dates
// in key order) whichever date the range applies to, with a filter built once per run from the
// header conditions: the date range on HEA:OPEN_DATE when Glo:OpenDate is set, else on
// HEA:DATE_RECD (a blank begin date lets through bids whose date is blank), then the bid,
// agency, minority, sales representative, escalation, bid type and non-profit conditions that
// are given. Each bid the filter passes then has to pass the agency type/size condition and the
// nine product-line conditions (brand, brand type/size, distributor, distributor type/size,
// product code, division, pack size, competitor, bid price type): each given condition must be
// met by at least one of the bid's lines, not necessarily the same line. The competitor is
// compared on the first competitor bid stored for a line only; distributors through every
// DISTBID record of the line. Comparisons are whole-field, case-sensitive, trailing blanks
// ignored; the one exception is the bid price type "NET", which also finds the net-priced lines
// (stored as "P").
//
// When a brand is chosen, each line shows the brand's reference number for the bid: the first
// non-blank PRO:MFR_REFNUM among the bid's lines of that brand, in line order.
//
// Failures: no COMPANY record shows "Please set company defaults under Utility Menu" (caption
// "Company Defaults Not Found") and the run ends with nothing printed; file errors go through
// the standard messages; an empty selection shows the common "Nothing to ..." message.
#pragma once

#include <cstdint>

#include "reports/framework/export.h"

namespace tdx::reports::bids {

int32_t BidListingRpt(int32_t escalation_only, int32_t non_profit_only);

}  // namespace tdx::reports::bids

TDX_REPORT_EXPORT void BIDLISTINGRPTMNU(void);
