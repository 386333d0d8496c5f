// Sample reference files: agencies with their distributors, sales representatives and regions,
// competitors, bid types, standard comments, the company record and the two letters.
#include "data/reference.h"

#include <cstdio>

#include "core/sample/world.h"
#include "data/letters.h"

namespace tdx::core::sample {
namespace {

struct AgencyRow {
  const char* address;
  const char* city;
  const char* state;
  const char* zip;
  const char* ship_address;
  int area;
  const char* type_size;
  const char* contact;
  const char* title;
  const char* comments;
};

const AgencyRow kAgencies[] = {
    {"400 School House Rd", "Lincolnton", "NC", "28092", "Central Warehouse, 12 Depot St", 704,
     "SC", "Ruth Ellison", "Food Service Director",
     "Bids must be delivered sealed; faxed bids are not accepted. Samples due at opening."},
    {"6900 Capitol Sq", "Richmond", "VA", "23219", "Receiving Dock B, 1 Supply Way", 804, "ST",
     "Howard Grimes", "Procurement Officer", ""},
    {"250 River Rd", "Riverside", "MD", "21601", "", 410, "HO", "Dr. Amy Stone",
     "Nutrition Services", "Non-profit hospital district; tax exempt certificate on file."},
};

const char* kStdComments[] = {
    "Price includes delivery to each school site.",
    "Product is CN labeled; CN statement enclosed.",
    "Specification sheet attached.",
    "Allowance paid on case volume reported by distributor.",
    "Substitute pack size available on request.",
    "Price firm through the guarantee date shown.",
};

const char* kBidTypeNames[] = {"Annual contract", "Semi-annual contract", "Quarterly bid",
                               "Spot purchase"};

const char* kAwardLetter =
    "We are pleased to confirm the products awarded to our brands on the bid referenced "
    "above. Please find the award details enclosed for your records.\r\n\r\n"
    "Our distributors have been informed of the award and will contact your receiving "
    "department to schedule the first deliveries. Product specification sheets and CN "
    "labels are available on request.\r\n\r\n"
    "Thank you for the opportunity to serve your program. Should you have any questions about "
    "the awarded items, pricing or delivery, please call our office.\r\n\r\n"
    "Sincerely,\r\n\r\nDana Whitfield\r\nHarbor Point Food Brokers";

const char* kExtLetter =
    "As requested, here are the complete descriptions of the products we discussed for your "
    "upcoming menu cycle. Each description gives the pack, the preparation and the nutrition "
    "contribution of the item.\r\n\r\n"
    "Samples can be arranged through our office.\r\n\r\nSincerely,\r\n\r\nDana Whitfield";

}  // namespace

Status write_reference(const std::string& dir, const World& w, std::ostream& progress) {
  TDX_SAMPLE_TRY((write_file<COM::Record>(dir, COM::Decl(), progress, [&](auto& out) {
    out.clear();
    auto& r = out.rec();
    r.COMPANY = "Harbor Point Food Brokers";
    r.ADDRESS = "1200 Harbor Point Blvd, Suite 300";
    r.CITY = "Baltimore";
    r.STATE = "MD";
    r.ZIP = "21230";
    r.PHONE = "(410)555-0100";
    r.FAX = "(410)555-0101";
    r.CONTACT = "Dana Whitfield";
    r.COMMENT1 = "Prices are F.O.B. shipping point or delivered as stated.";
    r.COMMENT2 = "Allowances are subject to brand approval.";
    r.COMMENT3 = "Quotations are valid through the guarantee dates shown.";
    r.COMMENT4 = "Catch-weight items are billed on actual weight.";
    r.COMMENT5 = "Minimum drop shipment quantities apply.";
    r.COMMENT6 = "All orders are subject to product availability.";
    r.COMMENT7 = "Thank you for the opportunity to quote.";
    return out.add();
  })));

  TDX_SAMPLE_TRY((write_file<REG::Record>(dir, REG::Decl(), progress, [&](auto& out) {
    for (const auto& name : w.regions) {
      out.clear();
      out.rec().REGION = name;
      out.memo(REG::COMMENTS_MEMO) = "Region " + name + ".";
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<SAL::Record>(dir, SAL::Decl(), progress, [&](auto& out) {
    for (size_t i = 0; i < w.reps.size(); ++i) {
      out.clear();
      auto& r = out.rec();
      r.REGION = w.regions[i % w.regions.size()];
      r.SALES_REP = w.reps[i];
      r.ADDRESS = std::to_string(10 + i) + " Harbor Point Blvd";
      r.CITY = "Baltimore";
      r.STATE = "MD";
      r.ZIP = "21230";
      r.PHONE = phone(410, 555, 110 + static_cast<int>(i));
      r.FAX = "(410)555-0101";
      r.EMAIL = "rep" + std::to_string(i + 1) + "@harborpoint.example";
      r.CONTACT = w.reps[i];
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<CMP::Record>(dir, CMP::Decl(), progress, [&](auto& out) {
    for (const auto& name : w.competitors) {
      out.clear();
      out.rec().NAME = name;
      out.memo(CMP::COMMENTS_MEMO) = "Competes on price in K-12 and corrections bids.";
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<COD::Record>(dir, COD::Decl(), progress, [&](auto& out) {
    for (size_t i = 0; i < w.bid_types.size(); ++i) {
      out.clear();
      out.rec().ID = "BIDT";
      out.rec().VALUE = w.bid_types[i];
      out.rec().DESCRIPTION = kBidTypeNames[i % std::size(kBidTypeNames)];
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<STC::Record>(dir, STC::Decl(), progress, [&](auto& out) {
    for (int i = 0; i < w.std_comments; ++i) {
      out.clear();
      out.rec().ID = i + 1;
      out.rec().COMMENTS = kStdComments[i % std::size(kStdComments)];
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<AGE::Record>(dir, AGE::Decl(), progress, [&](auto& out) {
    for (size_t i = 0; i < w.agencies.size(); ++i) {
      const Agency& a = w.agencies[i];
      AgencyRow row = i < std::size(kAgencies) ? kAgencies[i] : AgencyRow{"1 Government Plaza",
                                                                          "Springfield",
                                                                          "IL",
                                                                          "62701",
                                                                          "Warehouse, 5 Supply Rd",
                                                                          217,
                                                                          "SC",
                                                                          "Purchasing Agent",
                                                                          "Buyer",
                                                                          ""};
      out.clear();
      auto& r = out.rec();
      r.AGENCY_NAME = a.name;
      r.ADDRESS = row.address;
      r.CITY = row.city;
      r.STATE = row.state;
      r.ZIP = row.zip;
      r.SADDRESS = row.ship_address;
      r.SCITY = *row.ship_address ? row.city : "";
      r.SSTATE = *row.ship_address ? row.state : "";
      r.SZIP = *row.ship_address ? row.zip : "";
      r.FAX_PHONE = phone(row.area, 555, 2900 + static_cast<int>(i % 1000));
      r.CORP_PHONE = phone(row.area, 555, 2000 + static_cast<int>(i % 1000));
      r.TYPE_SIZE = i < std::size(kAgencies) ? row.type_size
                                             : (i % 3 == 0 ? "SC" : (i % 3 == 1 ? "CO" : "HO"));
      r.CONTACT1 = row.contact;
      r.TITLE1 = row.title;
      r.PHONE1 = phone(row.area, 555, 2100 + static_cast<int>(i % 1000));
      if (i == 0) {
        r.CONTACT2 = "Carl Jennings";
        r.TITLE2 = "Warehouse Supervisor";
        r.PHONE2 = phone(row.area, 555, 2200);
      }
      Str<36>* dist[] = {&r.DIST1, &r.DIST2, &r.DIST3, &r.DIST4, &r.DIST5};
      for (size_t k = 0; k < a.distributors.size() && k < 5; ++k)
        *dist[k] = w.distributors[a.distributors[k]];
      r.EMAIL = "purchasing" + std::to_string(i + 1) + "@agency.example";
      out.memo(AGE::COMMENTS_MEMO) = row.comments;
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<AWA::Record>(dir, AWA::Decl(), progress, [&](auto& out) {
    out.clear();
    out.rec().AGENCY = w.agencies[0].name;
    out.rec().BID_ID = "LCPS-2024-009";
    out.memo(AWA::LETTER_MEMO) = kAwardLetter;
    return out.add();
  })));

  return write_file<EXT::Record>(dir, EXT::Decl(), progress, [&](auto& out) {
    out.clear();
    out.rec().AGENCY = w.agencies[2].name;
    out.memo(EXT::LETTER_MEMO) = kExtLetter;
    return out.add();
  });
}

}  // namespace tdx::core::sample
