// The distributor quote report procedure: its files, view, filter pieces, line checks, the
// start of the run, the changes before the first page, the steps of each line, the brand
// heading, the history of a line and the comments, in that order. The layout is
// dist_quote_layout.h.
#include "reports/bids/dist_quote.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files.h"
#include "core/globals.h"
#include "reports/bids/dist_quote_layout.h"
#include "reports/framework/open_file.h"
#include "reports/framework/report_run.h"
#include "reports/framework/routing.h"
#include "runtime/expr/bound_names.h"
#include "runtime/expr/filter_text.h"
#include "runtime/settings/settings.h"
#include "runtime/text/str.h"
#include "runtime/ui/message_box.h"
#include "runtime/view/view.h"

namespace tdx::reports {
namespace {

constexpr const char* kSettings = ".\\tendix.ini";
constexpr const char* kNoCompanyText = "Please go to company defaults under the utility menu";
constexpr const char* kNoCompanyCaption = "No Company Defaults File";
constexpr const char* kDefaultFaxSubject = "Dist Quote Rpt";

constexpr std::string_view kLongestTitle =
    "Bid Extension with Extended Description and Dist Item Code w/History";
static_assert(kLongestTitle.size() == 68);

// The title from "Print Extended Description", "Print Dist. ProdCode", "Extension Information"
// and "Print Bid History".
std::string_view report_title(bool detail, bool dist_prod, bool extended, bool history) {
  if (detail) {
    if (dist_prod) {
      if (extended)
        return history ? kLongestTitle
                       : "Bid Extension with Extended Description and Dist Item Code";
      return history ? "Bid Quotation with Extended Description and Dist Item Code w/History"
                     : "Bid Quotation with Extended Description and Dist Item Code";
    }
    if (extended)
      return history ? "Bid Extension with Extended Description w/History"
                     : "Bid Extension with Extended Description";
    return history ? "Bid Quotation with Extended Description w/History"
                   : "Bid Quotation with Extended Description";
  }
  if (dist_prod)
    return history ? "Bid Quotation with Distributor Item Code w/History"
                   : "Bid Quotation with Distributor Item Code";
  return history ? "Bid Quotation with History" : "Bid Quotation";
}

// The billing kind's text.
std::string_view billing_text(std::string_view net) {
  if (net == "P") return "NET BB OI";
  if (net == "Z") return "";
  if (net == "BB") return "BILL BACK";
  if (net == "OI") return "OFF INVOICE";
  return net;
}

// A unit as printed: "BL" shows as "__".
std::string_view unit_text(std::string_view unit) { return unit == "BL" ? "__" : unit; }

bool flag_yes(const Str<1>& f) { return f == "Y"; }

// A file used through its use counter for a while, opened with the common open procedure.
class CountedUse {
 public:
  CountedUse(store::KeyedFile& file, int32_t& used) : file_(file), used_(used) {
    ok_ = used_ > 0 || open_file(file_).ok();
    if (ok_) ++used_;
  }
  ~CountedUse() {
    if (!ok_) return;
    if (used_ > 0) --used_;
    if (used_ == 0) file_.close();
  }
  CountedUse(const CountedUse&) = delete;
  CountedUse& operator=(const CountedUse&) = delete;
  bool ok() const { return ok_; }

 private:
  store::KeyedFile& file_;
  int32_t& used_;
  bool ok_ = false;
};

class DistQuoteReport : public ReportRun {
 public:
  DistQuoteReport(const DistQuoteSwitches& sw, ReportRouting* routing)
      : extended_(sw.extended != 0),
        bold_prices_(sw.bold_prices != 0),
        discontinued_(sw.discontinued != 0),
        routing_(routing) {
    set_routing(routing);
  }


 protected:
  // Start of the run: the company record (or the message that ends the run), the alternate
  // company, COMCSZ and the distributor's bid id.
  bool start_of_run() override;
  bool asks_preview() const override { return false; }
  bool preview_chosen() const override { return Glo::PreviewYes != 0; }
  Status bind_names() override;
  std::vector<UsedFile> files() override;
  void declare_view(view::View& v) override;
  Result<std::string> filter() override;
  int record_status() override;
  const report::Layout& layout() override;
  VarRef resolve(std::string_view name) override;
  void report_opened(report::Report& rpt) override;
  std::string default_job_title() const override { return "DistQuoteRpt"; }
  Status print_detail(report::Report& rpt) override;
  std::string read_error_name() const override { return "PRODBID"; }

 private:
  Status brand_heading(report::Report& rpt);
  Status history(report::Report& rpt);
  Status comments(report::Report& rpt);
  Status message(report::Report& rpt) { return rpt.print("?MESSAGE"); }
  void distributor_bid_id();

  const bool extended_, bold_prices_, discontinued_;
  ReportRouting* routing_;

  // Report-local values of the layout.
  Str<68> RPTTITLE;
  Str<36> COMCSZ, AGECSZ;
  Str<120> COMMENTS1;
  Str<250> MFRCOMMENTS;
  Str<12> BDI_DISTBIDID;  // LOC:BDI:DISTBIDID
  Str<178> PRODDESC;      // LOC:PRODDESC
  Str<15> MDP_DISTR_CODE;  // LOC:MDP:DISTR_CODE
  Str<4> APPX;
  Str<2> UNIT, FUNIT, UNITS;
  Str<11> NET;  // the longest billing text, "OFF INVOICE"
  Str<1000> SPECMSG2, ALLCOMMENTS;
  Str<36> HST_MANUFAC, HST_DISTRIBUTOR;
  Str<14> HST_PRODCODE;
  Str<10> HST_PACK;
  Str<20> HST_PRICE;
  int32_t HST_QTY = 0;
  Str<30> HISTDEL, HISTFOB;

  COM::Record company_;  // the broker's letterhead for this run (never written back)
  Str<36> last_brand_;
  bool heading_printed_ = false;
};

bool DistQuoteReport::start_of_run() {
  {
    CountedUse use(COMPANY::file, COMPANY::Used);
    if (!use.ok()) return false;
    COMPANY::file.clear();
    bool found = COMPANY::file.set_file().ok() && COMPANY::file.next().ok();
    if (!found) {
      ui::message(kNoCompanyText, kNoCompanyCaption, ui::Icon::None);
      return false;
    }
    std::memcpy(&company_, COMPANY::file.record(), sizeof company_);
  }
  if (GLO::AlternateCompany != 0) {
    company_.COMPANY = get_ini("Alternate", "Company", "", kSettings);
    company_.ADDRESS = get_ini("Alternate", "Address", "", kSettings);
    company_.CITY = get_ini("Alternate", "City", "", kSettings);
    company_.STATE = get_ini("Alternate", "State", "", kSettings);
    company_.ZIP = get_ini("Alternate", "Zip", "", kSettings);
    company_.PHONE = get_ini("Alternate", "Phone", "", kSettings);
    company_.FAX = get_ini("Alternate", "Fax", "", kSettings);
    company_.CONTACT = get_ini("Alternate", "Contact", "", kSettings);
  }
  COMCSZ = std::string(company_.CITY.clipped()) + ", " + std::string(company_.STATE.clipped()) +
           " " + std::string(company_.ZIP.raw());
  // The fax job file is opened by the routing when the report opens.
  if (!Glo::Distributor.blank() && DistBidIdRequested() != 0) distributor_bid_id();
  return true;
}

// The first distributor bid id of the bid's DISTBID records (whichever distributor gave it).
void DistQuoteReport::distributor_bid_id() {
  CountedUse use(DISTBID::file, DISTBID::Used);
  if (!use.ok()) return;
  BDI::Record& bdi = DISTBID::rec();
  DISTBID::file.clear();
  bdi.BID_ID = Glo::BID_ID.raw();
  if (!DISTBID::file.set_from(BDI::BY_ID_LINE).ok()) return;
  while (DISTBID::file.next().ok()) {
    if (!(bdi.BID_ID == Glo::BID_ID)) break;
    if (!bdi.DISTBIDID.blank()) {
      BDI_DISTBIDID = bdi.DISTBIDID.raw();
      break;
    }
  }
}

Status DistQuoteReport::bind_names() {
  BoundNames& n = BoundNames::global();
  for (const char* g : {"Glo:Manufac", "Glo:Distributor", "Glo:ProdCode", "Glo:Division",
                        "Glo:BID_ID"}) {
    Status s = n.bind(g, core::find_global(g));
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

std::vector<UsedFile> DistQuoteReport::files() {
  return {{&PRODBID::file, &PRODBID::Used}, {&SPECSBID::file, &SPECSBID::Used},
          {&HEADBID::file, &HEADBID::Used}, {&PRODUCT::file, &PRODUCT::Used},
          {&MANUF::file, &MANUF::Used},     {&DISTBID::file, &DISTBID::Used},
          {&COMPBID::file, &COMPBID::Used}, {&AGENCY::file, &AGENCY::Used},
          {&MDPRODS::file, &MDPRODS::Used}, {&PBComm::file, &PBComm::Used},
          {&StdComm::file, &StdComm::Used}};
}

// PRODBID, its specification line (inner) and, under that, the bid header; brand by brand,
// then the specification's alternate sequence, line, non-alternate first, product code.
void DistQuoteReport::declare_view(view::View& v) {
  int spe = v.join_key(view::View::kPrimary, SPECSBID::file, "BY_ID_LINE",
                       {"PRO:BID_ID", "PRO:LINE_NUM"}, view::Join::Inner);
  v.join_key(spe, HEADBID::file, "BY_BID_ID", {"SPE:BID_ID"});
  v.set_order("+PRO:BID_ID,+PRO:MANUFAC,+SPE:ALT_SEQ,+PRO:LINE_NUM,+PRO:ALT_PROD,+PRO:PBCODE");
}

Result<std::string> DistQuoteReport::filter() { return DistQuoteFilter(extended_); }

// The line check: discontinued products (unless they are asked for) and, with a distributor,
// the lines that distributor quoted.
int DistQuoteReport::record_status() {
  const PRO::Record& pro = PRODBID::rec();
  if (!discontinued_) {
    PRODUCT::file.clear();
    PRODUCT::rec().MANUFAC = pro.MANUFAC.raw();
    PRODUCT::rec().PROD_CODE = pro.PBCODE.raw();
    if (PRODUCT::file.get(PRD::BY_MAN_PRO).ok() && flag_yes(PRODUCT::rec().DISCONTINUED))
      return kRecordFiltered;
  }
  if (!Glo::Distributor.blank()) {
    BDI::Record& bdi = DISTBID::rec();
    DISTBID::file.clear();
    bdi.BID_ID = pro.BID_ID.raw();
    bdi.LINE_NUM = pro.LINE_NUM.raw();
    bool quoted = false;
    if (DISTBID::file.set_from(BDI::BY_ID_LINE).ok()) {
      while (!quoted && DISTBID::file.next().ok()) {
        if (!(bdi.BID_ID == pro.BID_ID) || !(bdi.LINE_NUM == pro.LINE_NUM)) break;
        quoted = bdi.DISTRIBUTOR == Glo::Distributor;
      }
    }
    if (!quoted) return kRecordFiltered;
  }
  return kRecordAccepted;
}

const report::Layout& DistQuoteReport::layout() {
  static const report::Layout l = [] {
    auto parsed = report::parse_layout(kDistQuoteLayout, "dist_quote.layout");
    if (!parsed.ok()) {
      std::fprintf(stderr, "%s\n", parsed.status().ToString().c_str());
      return report::Layout();
    }
    return *parsed;
  }();
  return l;
}

VarRef DistQuoteReport::resolve(std::string_view name) {
  auto s = [](auto& v) { return VarRef::String(v.data(), static_cast<uint32_t>(v.size())); };
  struct Local {
    const char* name;
    VarRef ref;
  };
  const Local locals[] = {
      {"RPTTITLE", s(RPTTITLE)},
      {"COMCSZ", s(COMCSZ)},
      {"AGECSZ", s(AGECSZ)},
      {"COMMENTS1", s(COMMENTS1)},
      {"MFRCOMMENTS", s(MFRCOMMENTS)},
      {"LOC:BDI:DISTBIDID", s(BDI_DISTBIDID)},
      {"LOC:PRODDESC", s(PRODDESC)},
      {"LOC:MDP:DISTR_CODE", s(MDP_DISTR_CODE)},
      {"LOC:APPX", s(APPX)},
      {"LOC:UNIT", s(UNIT)},
      {"LOC:FUNIT", s(FUNIT)},
      {"LOC:UNITS", s(UNITS)},
      {"LOC:NET", s(NET)},
      {"SPECMSG2", s(SPECMSG2)},
      {"LOC:ALLCOMMENTS", s(ALLCOMMENTS)},
      {"HST:MANUFAC", s(HST_MANUFAC)},
      {"HST:PRODCODE", s(HST_PRODCODE)},
      {"HST:PACK", s(HST_PACK)},
      {"HST:PRICE", s(HST_PRICE)},
      {"HST:DISTRIBUTOR", s(HST_DISTRIBUTOR)},
      {"HST:QTY", VarRef::Long(&HST_QTY)},
      {"LOC:HISTDEL", s(HISTDEL)},
      {"LOC:HISTFOB", s(HISTFOB)},
  };
  for (const Local& l : locals)
    if (equals_nocase(name, l.name)) return l.ref;
  // The letterhead comes from this run's copy of the company record.
  if (name.size() > 4 && equals_nocase(name.substr(0, 4), "COM:")) {
    VarRef r = COMPANY::file.field(name);
    if (!r.valid()) return r;
    const auto offset = static_cast<unsigned char*>(r.ptr) - COMPANY::file.record();
    r.ptr = reinterpret_cast<unsigned char*>(&company_) + offset;
    return r;
  }
  return VarRef();
}

// Before the first page: brand wording, price weights, the heading's "To:", the header's
// distributor bid id.
void DistQuoteReport::report_opened(report::Report& rpt) {
  RPTTITLE = report_title(Glo::Detail != 0, GLO::PrintDistProd != 0, extended_,
                          Glo::History != 0);
  if (GLO::Pellam != 0) {
    (void)rpt.set_text("?MfrLabel", "Brand:");
    (void)rpt.set_text("?MfrBidLabel", "Brand Bid#:");
    (void)rpt.set_text("?MfrCommentsLabel", "Brand Comments:");
    (void)rpt.set_text("?HistMfrLabel", "Brand Name");
    (void)rpt.set_text("?MfrRefLabel", "Brand Ref#");
  }
  if (!bold_prices_) {
    for (const char* label :
         {"?PRO:PRICE", "?PRO:FPRICE", "?PRO:ALLOW", "?LOC:UNIT", "?LOC:FUNIT", "?PRO:ALLOWUM",
          "?LOC:NET", "?PRO:EXTPRICE", "?PRO:EXTFPRICE", "?PRO:EXTALLOW", "?PRO:EXTUM",
          "?PRO:EXTFUM", "?PRO:EXTALLOWUM"})
      (void)rpt.set_font_style(label, report::FontStyle{});
  }
  const bool to_shown = !Glo::Distributor.blank() && Glo::History != 0;
  (void)rpt.set_hidden("?MfrHdrTo", !to_shown);
  (void)rpt.set_hidden("?MfrHdrToName", !to_shown);
  if (Glo::Distributor.blank()) {
    (void)rpt.set_hidden("?DistBidIDText", true);
    (void)rpt.set_hidden("?LOC:BDI:DISTBIDID", true);
  } else if (DistBidIdRequested() == 0) {
    (void)rpt.set_hidden("?DistBidIDText", true);
  }
  // The fax job record is created by the routing once these changes are made.
}

Status DistQuoteReport::print_detail(report::Report& rpt) {
  const PRO::Record& pro = PRODBID::rec();
  const SPE::Record& spe = SPECSBID::rec();
  PRD::Record& prd = PRODUCT::rec();

  // 1. Brand and product; a new brand heading when the brand changes.
  MANUF::file.clear();
  MANUF::rec().MANUF_NAME = pro.MANUFAC.raw();
  if (!MANUF::file.get(MAN::BY_MANUF).ok()) MANUF::file.clear();
  PRODUCT::file.clear();
  prd.MANUFAC = pro.MANUFAC.raw();
  prd.PROD_CODE = pro.PBCODE.raw();
  // A product missing from the catalog prints blank, never the previous line's product.
  if (!PRODUCT::file.get(PRD::BY_MAN_PRO).ok()) PRODUCT::file.clear();
  if (!heading_printed_ || !(pro.MANUFAC == last_brand_)) {
    Status s = brand_heading(rpt);
    if (!s.ok()) return s;
  }
  // 2. The award number goes with extension pricing.
  if (extended_) {
    (void)rpt.set_hidden("?AwardLabel", false);
    (void)rpt.set_hidden("?PRO:MFRAWARD", false);
  }
  // 3. Description and the distributor's product code.
  PRODDESC = std::string(pro.DESCRIP.clipped()) + " " +
             std::string(clip(left(PRODUCT::file.memo(PRD::EXTND_DESCR_MEMO))));
  MDP_DISTR_CODE = "";
  if (GLO::PrintDistProd != 0) {
    MDPRODS::file.clear();
    MDPRODS::rec().MANUF = pro.MANUFAC.raw();
    MDPRODS::rec().MANUF_PCODE = pro.PBCODE.raw();
    MDPRODS::rec().DISTR = Glo::Distributor.raw();
    if (MDPRODS::file.get(MDP::MFRPRDDSTKEY).ok()) MDP_DISTR_CODE = MDPRODS::rec().DISTR_PCODE.raw();
  }
  // 4. Approximate, units, billing.
  APPX = flag_yes(pro.APPROX) ? "APPX" : "";
  UNIT = unit_text(pro.UNIT.clipped());
  FUNIT = unit_text(pro.FUNIT.clipped());
  UNITS = unit_text(pro.UNITS.clipped());
  NET = billing_text(pro.NET.clipped());
  // 5. The discontinued mark.
  (void)rpt.set_hidden("?Discontinued", !(discontinued_ && flag_yes(prd.DISCONTINUED)));
  // 6. The line; the page header's group comes back after it.
  Status s = rpt.print("?DETAILBAND");
  if (!s.ok()) return s;
  (void)rpt.set_hidden("?HEADERGROUP", false);
  // 7. Alternate product.
  if (flag_yes(pro.ALT_PROD)) {
    SPECMSG2 = "*** Alternate Product ***";
    if (s = message(rpt); !s.ok()) return s;
  }
  // 8. Requirements of the specification line, in one message.
  SPECMSG2 = "";
  auto append = [this](std::string_view piece) {
    SPECMSG2 = std::string(clip(left(SPECMSG2.raw()))) + std::string(piece);
  };
  if (flag_yes(spe.CN_LABEL)) append(" *** CN Label Required ***");
  if (flag_yes(spe.SPEC_SHEET)) append(" *** Specification Sheet Required ***");
  if (flag_yes(spe.USDA)) append(" *** USDA ***");
  if (!spe.GRADE.blank()) append(" *** Grade " + std::string(spe.GRADE.clipped()) + " ***");
  if (!SPECMSG2.blank()) {
    if (s = message(rpt); !s.ok()) return s;
  }
  // 9. Approved brands.
  SPECMSG2 = "";
  if (!Glo::Brand.blank() && !spe.APPROVED_BRANDS.blank()) {
    SPECMSG2 = " *** Approved Brands: " + std::string(spe.APPROVED_BRANDS.clipped()) + " ***";
    if (s = message(rpt); !s.ok()) return s;
  }
  // 10. Extension pricing.
  if (extended_) {
    if (s = rpt.print("?EXTENSION"); !s.ok()) return s;
  }
  // 11. History.
  if (Glo::History != 0) {
    if (s = history(rpt); !s.ok()) return s;
  }
  // 12. Comments.
  if (s = comments(rpt); !s.ok()) return s;
  // 13. Separator.
  return rpt.print("?SEPARATOR");
}

// The letter-style heading of a brand: agency, notes, brand comments, then ?MFRHDR and the notes
// band ?MFRHDR2.
Status DistQuoteReport::brand_heading(report::Report& rpt) {
  const HEA::Record& hea = HEADBID::rec();
  AGE::Record& age = AGENCY::rec();
  // 1. The agency: the first at or after the bid's agency name, if its first 30 characters
  // are the same.
  AGENCY::file.clear();
  age.AGENCY_NAME = hea.BID_AGENCY.raw();
  bool agency = AGENCY::file.set_from(AGE::BY_AGENCY).ok() && AGENCY::file.next().ok() &&
                age.AGENCY_NAME.raw().substr(0, 30) == hea.BID_AGENCY.raw().substr(0, 30);
  if (!agency) AGENCY::file.clear();
  // 2. Agency city line and the bid's notes.
  AGECSZ = std::string(age.CITY.clipped()) + ", " + std::string(age.STATE.raw()) + " " +
           std::string(age.ZIP.raw());
  const std::string& notes = HEADBID::file.memo(HEA::NOTES_MEMO);
  COMMENTS1 = std::string(clip(sub(notes, 1, 60))) + " " + sub(notes, 61, 60);
  // 3. The brand's comments, four lines of 60 characters.
  const std::string& mfr = MANUF::file.memo(MAN::COMMENTS_MEMO);
  if (!is_blank(sub(mfr, 1, 240))) {
    auto part = [&mfr](long start) {
      std::string p = sub(mfr, start, 60);
      p.resize(60, ' ');
      return p;
    };
    MFRCOMMENTS = part(1) + "\r\n" + part(61) + "\r\n" + part(121) + "\r\n" + part(181);
    (void)rpt.set_text("?MfrCommentsLabel",
                       GLO::Pellam != 0 ? "Brand Comments:" : "Mfr Comments:");
  } else {
    MFRCOMMENTS = "";
    (void)rpt.set_text("?MfrCommentsLabel", "");
  }
  // 4. The heading hides the page header's group and takes its room at the top of the first
  // page. Further headings follow the previous line where they are: moved up there, they would
  // print over that line's last quarter inch.
  (void)rpt.set_hidden("?HEADERGROUP", true);
  (void)rpt.set_position("?MFRHDR", std::nullopt, heading_printed_ ? 0 : -250);
  // 5. The fax job's subject.
  if (routing_->faxing()) {
    Status s = routing_->fill_fax_header(rpt);
    if (!s.ok()) return s;
  }
  // 6. The heading and its notes.
  Status s = rpt.print("?MFRHDR");
  if (s.ok()) s = rpt.print("?MFRHDR2");
  last_brand_ = PRODBID::rec().MANUFAC.raw();
  heading_printed_ = true;
  return s;
}

// Who won the same line on the previous bid: our brand (the previous bid's awarded line with
// the same product code) or else an awarded competitor of the previous line. The view's
// position is kept around the reads.
Status DistQuoteReport::history(report::Report& rpt) {
  const SPE::Record& spe = SPECSBID::rec();
  PRO::Record& pro = PRODBID::rec();
  const Str<24> hist_bid = spe.HIST_BID_ID.raw();
  const Str<12> hist_line = spe.HIST_LINE_NUM.raw();
  if (hist_bid.blank()) return Status::Ok();  // no previous bid to look at
  const view::ViewPosition pos = view()->save_position();
  bool found = false, competitor = false;
  Status s;

  // 1. Our brand.
  HST_PRODCODE = pro.PBCODE.raw();
  PRODBID::file.clear();
  pro.BID_ID = hist_bid.raw();
  if (PRODBID::file.set_from(PRO::BY_ID_LINE).ok()) {
    while (PRODBID::file.next().ok() && pro.BID_ID == hist_bid) {
      if (pro.PBCODE == HST_PRODCODE && flag_yes(pro.AWARD_FLAG)) {
        found = true;
        break;
      }
    }
  }
  if (found) {
    HST_MANUFAC = pro.MANUFAC.raw();
    HST_QTY = pro.QUAN;
    HST_PRICE = pro.HIST_PRICE.raw().substr(0, 20);
    HST_PACK = pro.PACK.raw().substr(0, 10);
    HST_DISTRIBUTOR = "";
    BDI::Record& bdi = DISTBID::rec();
    DISTBID::file.clear();
    bdi.BID_ID = pro.BID_ID.raw();
    bdi.LINE_NUM = pro.LINE_NUM.raw();
    if (DISTBID::file.set_from(BDI::BY_ID_LINE).ok()) {
      while (DISTBID::file.next().ok() && bdi.BID_ID == pro.BID_ID &&
             bdi.LINE_NUM == pro.LINE_NUM) {
        if (flag_yes(bdi.AWARD_FLAG)) {
          HST_DISTRIBUTOR = bdi.DISTRIBUTOR.raw();
          break;
        }
      }
    }
    if (GLO::HistFOB != 0) {
      HISTDEL = std::string(pro.PRICE.clipped()) + " " + std::string(pro.UNIT.raw());
      HISTFOB = std::string(pro.FPRICE.clipped()) + " " + std::string(pro.FUNIT.raw());
      for (const char* label : {"?HistDelLabel", "?LOC:HISTDEL", "?HistFobLabel", "?LOC:HISTFOB"})
        (void)rpt.set_hidden(label, false);
    }
  } else {
    // 2. A competitor.
    COB::Record& cob = COMPBID::rec();
    COMPBID::file.clear();
    cob.BID_ID = hist_bid.raw();
    cob.LINE_NUM = hist_line.raw();
    if (COMPBID::file.set_from(COB::BY_ID_LINE).ok()) {
      while (COMPBID::file.next().ok() && cob.BID_ID == hist_bid && cob.LINE_NUM == hist_line) {
        if (flag_yes(cob.AWARD_FLAG)) {
          found = competitor = true;
          break;
        }
      }
    }
    if (found) {
      PRODBID::file.clear();
      pro.BID_ID = cob.BID_ID.raw();
      pro.LINE_NUM = cob.LINE_NUM.raw();
      HST_QTY = PRODBID::file.get(PRO::BY_ID_LINE).ok() ? static_cast<int32_t>(pro.QUAN) : 0;
      HST_MANUFAC = cob.MANUFAC.raw();
      HST_PRODCODE = cob.PROD_CODE.raw();
      HST_PRICE = cob.PRICE.raw().substr(0, 20);
      HST_DISTRIBUTOR = cob.DISTRI.raw();
      HST_PACK = cob.PACK.raw().substr(0, 10);
    }
  }
  // 3. The history and a competitor's notes.
  if (found) {
    s = rpt.print("?HISTORY");
    if (s.ok() && competitor && !is_blank(COMPBID::file.memo(COB::COMMENTS_MEMO)))
      s = rpt.print("?HISTNOTES");
  }
  // 4. Delivered and FOB rows hidden again.
  for (const char* label : {"?HistDelLabel", "?LOC:HISTDEL", "?HistFobLabel", "?LOC:HISTFOB"})
    (void)rpt.set_hidden(label, true);
  Status r = view()->restore_position(pos);
  return s.ok() ? r : s;
}

// The line's standard comments, one a line, then its four comment fields.
Status DistQuoteReport::comments(report::Report& rpt) {
  const PRO::Record& pro = PRODBID::rec();
  std::string all;
  PBC::Record& pbc = PBComm::rec();
  PBComm::file.clear();
  pbc.PB_ID = static_cast<int32_t>(pro.PB_ID);
  pbc.STD_ID = 0;
  if (PBComm::file.set_from(PBC::ByPBIDStdID).ok()) {
    while (PBComm::file.next().ok() && pbc.PB_ID == pro.PB_ID) {
      StdComm::file.clear();
      StdComm::rec().ID = static_cast<int32_t>(pbc.STD_ID);
      if (StdComm::file.get(STC::AutoKey).ok())
        all = std::string(clip(all)) + std::string(StdComm::rec().COMMENTS.clipped()) + "\r\n";
    }
  }
  if (!pro.COMMENTS.blank() || !pro.COMMENTS2.blank() || !pro.COMMENTS3.blank() ||
      !pro.COMMENTS4.blank()) {
    all = std::string(clip(all)) + std::string(pro.COMMENTS.clipped()) +
          std::string(pro.COMMENTS2.clipped()) + std::string(pro.COMMENTS3.clipped()) +
          std::string(pro.COMMENTS4.raw());
  }
  ALLCOMMENTS = all;
  if (ALLCOMMENTS.blank()) return Status::Ok();
  report::FontStyle italic;
  italic.italic = true;
  (void)rpt.set_font_style("?LOC:ALLCOMMENTS", italic);
  Status s = rpt.print("?COMMENTS");
  (void)rpt.set_font_style("?LOC:ALLCOMMENTS", report::FontStyle{});
  return s;
}

}  // namespace

Result<std::string> DistQuoteFilter(bool extended) {
  FilterText f("PRO:BID_ID = Glo:BID_ID and", 200);
  f.append_if(!Glo::Manufac.blank(), " PRO:MANUFAC = Glo:Manufac and");
  f.append_if(!Glo::ProdCode.blank(), " PRO:PBCODE = Glo:ProdCode and");
  f.append_if(!Glo::Division.blank(), " PRO:PROD_DIVISON = Glo:Division and");
  f.append_if(!Glo::Minority.blank(), " HEA:MINIOR_BID = 'Y' and");
  f.append_if(extended, " PRO:ExtTerm and");
  return f.text();
}

uint8_t& DistBidIdRequested() {
  static uint8_t requested = 0;  // GLO:DISTBIDIDREQ
  return requested;
}

int32_t RunDistQuote(const DistQuoteSwitches& switches) {
  ReportRouting routing({true, kDefaultFaxSubject, false});
  DistQuoteReport report(switches, &routing);
  return report.run();
}

}  // namespace tdx::reports
