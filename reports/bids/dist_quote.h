// The distributor quote: the quotation the broker sends, brand by brand, for one bid.
//
// DISTQUOTERPTMNU (dist_quote_window.cpp) is the exported option window "Distributor Quote
// Report"; it fills the main module's selection globals, lets FAXREPORT choose the output and
// calls RunDistQuote() with its three window-local switches. RunDistQuote() runs one report over
// the selections of the moment:
//
//   selections   Glo:BID_ID (required), Glo:Manufac, Glo:Distributor, Glo:ProdCode,
//                Glo:Division, Glo:Minority, Glo:Brand, Glo:Remarks, Glo:Detail,
//                GLO:PrintDistProd, Glo:History, GLO:HistFOB, GLO:AlternateCompany and the
//                window's GLO:DISTBIDIDREQ (DistBidIdRequested());
//   output       always the page queue; preview, print, fax, PDF and e-mail as FAXREPORT left
//                the output globals (reports/framework/routing.h);
//   outcome      GlobalResponse 1 when the run completed (or was printed from the preview),
//                2 when cancelled, empty, or stopped for want of the company record.
//
// Runs on the windows' thread, one at a time; it keeps nothing between runs.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/base/status.h"

namespace tdx::reports {

// The three switches of the option window, in the order the report takes them.
struct DistQuoteSwitches {
  int32_t extended = 0;      // "Extension Information": only lines with extension pricing
  int32_t bold_prices = 0;   // "Bold Prices"
  int32_t discontinued = 0;  // "Print ***Discontinued***": include and mark discontinued lines
};

// The view's filter text from the selection globals: "PRO:BID_ID = Glo:BID_ID", then a piece
// for each of brand, product code, division, minority and (with `extended`) extension pricing
// that is given, without the trailing " and". Error when it outgrows its 200 characters.
Result<std::string> DistQuoteFilter(bool extended);

// The report procedure. Returns GlobalResponse.
int32_t RunDistQuote(const DistQuoteSwitches& switches);

// "Print Distr Bid ID" of the option window: kept for the life of the module, so it survives
// between openings of the window.
uint8_t& DistBidIdRequested();

}  // namespace tdx::reports
