// The distributor quote's page layout, as data (runtime/report/LAYOUT.md).
//
// Thousandths of an inch; Arial 8 unless a row says otherwise. Page header with the group
// ?HEADERGROUP that each brand heading hides (shown again after the next detail band); then the
// bands in the order a line prints them: brand heading ?MFRHDR and its notes band ?MFRHDR2,
// ?DETAILBAND, ?MESSAGE (alternate product, requirements, approved brands), ?EXTENSION,
// ?HISTORY and ?HISTNOTES, ?COMMENTS, ?SEPARATOR.
//
// Labelled controls are the ones the report changes at run time: brand wording texts
// (?MfrLabel, ?MfrBidLabel, ?MfrCommentsLabel, ?MfrRefLabel, ?HistMfrLabel), the header's
// distributor bid id (?DistBidIDText), the brand heading's "To:" (?MfrHdrTo, ?MfrHdrToName),
// the discontinued mark, the award number, the history's delivered and FOB rows. A field
// without a label is "?" + its variable (?PRO:PRICE).
#pragma once

#include <string_view>

namespace tdx::reports {

inline constexpr std::string_view kDistQuoteLayout = R"layout(
report body=500,1250,7500,9000 font="Arial 8"

header at=500,500,7500,740
| kind  | label          | text or field          | picture | x    | y   | w    | h   | attributes     |
|-------|----------------|------------------------|---------|------|-----|------|-----|----------------|
| line  |                |                        |         | 10   | 21  | 7479 | 0   |                |
| text  |                | "Dez Iridovo Vevedu"   |         | 52   | 31  | 1240 | 177 | bold           |
| text  |                | "*** Confidential ***" |         | 3146 | 31  | 1219 | 177 | bold, centred  |
| text  | ?DistBidIDText | "DistBidID: "          |         | 5792 | 63  | 500  | 177 |                |
| text  |                | "To:"                  |         | 42   | 198 | 135  | 177 | italic         |
| field |                | Glo:Distributor        | @s36    | 240  | 198 | 1906 | 177 |                |
| field |                | RPTTITLE               | @s68    | 1813 | 198 | 3896 | 177 | bold, centred  |
| field |                | LOC:BDI:DISTBIDID      | @s12    | 5792 | 198 | 833  | 177 |                |
| text  |                | "Page:"                |         | 6740 | 198 | -    | -   |                |
| field |                | #PAGE                  | @N4     | 7135 | 198 | -    | -   |                |
| line  |                |                        |         | 21   | 396 | 7469 | 0   |                |
| group | ?HEADERGROUP   |                        |         | 10   | 417 | 2083 | 285 |                |
| field |                | HEA:OPEN_DATE          | @d2     | 6750 | 479 | 594  | 156 | right          |
| text  |                | "Bid Agency:"          |         | 31   | 490 | -    | -   | italic         |
| field |                | HEA:BID_AGENCY         | @s30    | 719  | 490 | 2000 | 156 |                |
| text  |                | "Bid ID:"              |         | 3146 | 490 | 417  | 156 | italic, right  |
| field |                | PRO:BID_ID             | @s24    | 3635 | 490 | 1323 | 156 |                |
| text  |                | "Opening Date:"        |         | 5948 | 490 | 760  | 156 | italic, right  |
| line  |                |                        |         | 0    | 708 | 7479 | 0   |                |
| end   |                |                        |         |      |     |      |     |                |

band ?MFRHDR
| kind    | label             | text or field        | picture          | x    | y    | w    | h    | attributes    |
|---------|-------------------|----------------------|------------------|------|------|------|------|---------------|
| text    |                   | "From:"              |                  | 10   | 10   | 313  | 177  | italic        |
| text    |                   | "Disclaimer:"        |                  | 3594 | 10   | 781  | 156  |               |
| field   |                   | COM:COMPANY          | @s40             | 521  | 21   | 3031 | 177  | 10 pt, bold   |
| field   |                   | COM:COMMENT1         | @s55             | 3594 | 156  | 3823 | 156  |               |
| field   |                   | COM:ADDRESS          | @s40             | 521  | 188  | 2125 | 177  |               |
| field   |                   | COM:COMMENT2         | @s55             | 3594 | 302  | 3823 | 156  |               |
| field   |                   | COMCSZ               | @s36             | 521  | 333  | 2125 | 177  |               |
| field   |                   | COM:COMMENT3         | @s55             | 3594 | 448  | 3823 | 156  |               |
| text    |                   | "Contact:"           |                  | 10   | 479  | 448  | 177  | italic        |
| field   |                   | COM:CONTACT          | @s25             | 521  | 479  | 1354 | 177  |               |
| field   |                   | COM:COMMENT4         | @s55             | 3594 | 604  | 3823 | 156  |               |
| text    |                   | "Phone:"             |                  | 10   | 635  | 417  | 177  | italic        |
| field   |                   | COM:PHONE            | @p(###)###-####p | 521  | 635  | -    | -    |               |
| field   |                   | COM:COMMENT5         | @s55             | 3594 | 760  | 3823 | 156  |               |
| text    |                   | "Fax:"               |                  | 10   | 792  | 375  | 177  | italic        |
| field   |                   | COM:FAX              | @p(###)###-####p | 521  | 792  | -    | -    |               |
| field   |                   | COM:COMMENT6         | @s55             | 3594 | 927  | 3823 | 156  |               |
| text    | ?MfrHdrTo         | "To:"                |                  | 10   | 958  | 240  | 177  | italic        |
| field   | ?MfrHdrToName     | Glo:Distributor      | @s36             | 521  | 958  | 1938 | 156  |               |
| field   |                   | COM:COMMENT7         | @s55             | 3594 | 1094 | 3823 | 156  |               |
| text    |                   | "Bid Agency:"        |                  | 10   | 1177 | 698  | 177  | italic        |
| field   |                   | AGE:AGENCY_NAME      | @s36             | 740  | 1177 | 2313 | 177  |               |
| field   |                   | AGE:ADDRESS          | @s30             | 740  | 1313 | -    | -    |               |
| field   |                   | AGECSZ               | @s36             | 740  | 1458 | 2354 | 177  |               |
| text    |                   | "Opening Date:"      |                  | 3135 | 1458 | 760  | 177  | italic, right |
| field   | ?MfrHdrOpenDate   | HEA:OPEN_DATE        | @d2              | 3948 | 1458 | -    | -    | right         |
| text    |                   | "Delivery Period:"   |                  | 4656 | 1458 | 854  | 177  | italic, right |
| field   |                   | HEA:DEL_FROMDATE     | @d2              | 5531 | 1458 | -    | -    | right         |
| text    |                   | "to"                 |                  | 6167 | 1458 | 292  | 177  | italic, centred |
| field   |                   | HEA:DEL_TODATE       | @d2              | 6479 | 1458 | -    | -    | right         |
| text    |                   | "Agency Delivery Instructions:" |       | 2635 | 1604 | 1604 | 177  | italic, right |
| field   |                   | HEA:AGENCY_DELIN     | @s45             | 4302 | 1604 | 2885 | 177  |               |
| field   |                   | HEA:AGENCY_DEL2      | @s45             | 4302 | 1740 | 2885 | 177  |               |
| text    |                   | "Bid ID:"            |                  | 21   | 1823 | 479  | 177  | italic        |
| field   | ?MfrHdrBidID      | PRO:BID_ID           | @s24             | 740  | 1823 | 1927 | 177  |               |
| field   |                   | HEA:AGENCY_DEL3      | @s45             | 4302 | 1875 | 2823 | 177  |               |
| field   |                   | HEA:AGENCY_DEL4      | @s45             | 4302 | 2010 | 2833 | 177  |               |
| text    | ?MfrLabel         | "Mfr:"               |                  | 42   | 2156 | 510  | 156  | italic        |
| field   |                   | PRO:MANUFAC          | @s36             | 583  | 2156 | 1854 | 156  |               |
| text    | ?MfrBidLabel      | "Mfr Bid#:"          |                  | 2396 | 2156 | 646  | 177  | italic, right |
| field   |                   | SPE:MFR_BIDNUM       | @s10             | 3073 | 2156 | 719  | 177  |               |
| text    |                   | "Terms:"             |                  | 3802 | 2156 | 406  | 177  | italic        |
| field   |                   | MAN:TERMS            | @s15             | 4260 | 2156 | -    | -    |               |
| text    |                   | "Minimum Shipment:"  |                  | 5333 | 2156 | 1094 | 177  | italic, right |
| field   |                   | MAN:MIN_DROP         | @s15             | 6479 | 2156 | -    | -    |               |
| text    |                   | "Min.Pickup:"        |                  | 5719 | 2292 | 698  | 177  | italic, right |
| field   |                   | MAN:MIN_PICKUP       | @s15             | 6479 | 2292 | 969  | 177  |               |
| text    | ?MfrCommentsLabel | "Mfr Comments:"      |                  | 31   | 2313 | 958  | 177  | italic        |
| textbox | ?MFRCOMMENTS      | MFRCOMMENTS          |                  | 1042 | 2313 | 4531 | 1167 |               |

band ?DETAILBAND
| kind    | label           | text or field        | picture | x    | y    | w    | h   | attributes                 |
|---------|-----------------|----------------------|---------|------|------|------|-----|----------------------------|
| text    |                 | "Spec. Line Item #"  |         | 31   | 31   | 990  | 177 | italic                     |
| field   |                 | PRO:LINE_NUM         | @s12    | 1042 | 31   | 1656 | 177 |                            |
| textbox |                 | SPE:PRODUCT_SPEC     |         | 2719 | 31   | 4708 | 302 |                            |
| text    | ?Discontinued   | "**Discontinued**"   |         | 31   | 188  | 1094 | 177 | bold                       |
| text    |                 | "Product Code"       |         | 31   | 344  | 740  | 177 |                            |
| text    |                 | "Dist.ProdCode"      |         | 823  | 344  | 760  | 156 |                            |
| text    |                 | "Pack"               |         | 1875 | 344  | -    | -   |                            |
| text    |                 | "Product Description" |        | 2823 | 344  | 1052 | 177 |                            |
| text    | ?MfrRefLabel    | "Mfr.Ref.#"          |         | 4146 | 344  | 833  | 177 | italic, right              |
| field   |                 | PRO:MFR_REFNUM       | @s10    | 5021 | 344  | 896  | 177 |                            |
| text    | ?AwardLabel     | "Award#"             |         | 5990 | 344  | 469  | 177 | italic, right, hidden      |
| field   |                 | PRO:MFRAWARD         | @s10    | 6531 | 344  | 896  | 177 | hidden                     |
| field   |                 | PRO:PBCODE           | @s14    | 31   | 490  | 750  | 177 |                            |
| field   |                 | LOC:MDP:DISTR_CODE   | @s15    | 823  | 490  | -    | -   |                            |
| field   |                 | PRO:PACK             | @s14    | 1875 | 490  | 833  | 177 |                            |
| field   |                 | LOC:PRODDESC         | @s178   | 2823 | 490  | 4615 | 156 |                            |
| text    |                 | "Gr. Wt."            |         | 531  | 760  | -    | -   | right                      |
| text    |                 | "Net Wt."            |         | 1313 | 760  | -    | -   | right                      |
| text    |                 | "Quantity"           |         | 2313 | 760  | -    | -   | right                      |
| text    |                 | "Units"              |         | 2979 | 760  | 292  | 177 | right                      |
| text    |                 | "Del Price Unit"     |         | 3563 | 760  | 729  | 177 | right                      |
| text    |                 | "FOB Price Unit"     |         | 4594 | 760  | 750  | 177 | right                      |
| text    |                 | "Allowance   Unit"   |         | 5615 | 760  | 948  | 177 |                            |
| text    |                 | "Billing"            |         | 6646 | 760  | 698  | 177 |                            |
| field   |                 | PRO:ALLOW            | @s15    | 5479 | 896  | 719  | 177 | bold, right                |
| field   |                 | PRO:ALLOWUM          | @s2     | 6292 | 896  | -    | -   | bold                       |
| field   |                 | LOC:APPX             | @s4     | 10   | 906  | -    | -   |                            |
| field   |                 | PRD:GROSS_WT         | @n-10.2 | 281  | 906  | 615  | 177 | decimal                    |
| field   |                 | PRO:NET_WT           | @n-10.2 | 1073 | 906  | 615  | 177 | decimal                    |
| field   |                 | PRO:QUAN             | @n-13   | 1969 | 906  | -    | -   | decimal                    |
| field   |                 | LOC:UNITS            | @s2     | 3094 | 906  | -    | -   | right                      |
| field   |                 | PRO:PRICE            | @s10    | 3365 | 906  | 708  | 177 | bold, right                |
| field   |                 | LOC:UNIT             | @s2     | 4115 | 906  | -    | -   | bold, right                |
| field   |                 | PRO:FPRICE           | @s10    | 4458 | 906  | -    | -   | bold, right                |
| field   |                 | LOC:FUNIT            | @s2     | 5167 | 906  | -    | -   | bold, right                |
| field   |                 | LOC:NET              | @s11    | 6646 | 906  | 771  | 177 | bold                       |
| text    |                 | "Price Exp."         |         | 5500 | 1042 | 646  | 177 |                            |
| text    |                 | "Allow Exp."         |         | 6594 | 1042 | 896  | 177 |                            |
| text    |                 | "Point Of Origin:"   |         | 281  | 1188 | 865  | 177 | italic                     |
| field   |                 | PRO:POFO             | @s20    | 1146 | 1188 | 1396 | 177 |                            |
| text    |                 | "Guarantee:"         |         | 2750 | 1188 | 625  | 177 | italic                     |
| field   |                 | PRO:GUANT            | @s30    | 3365 | 1188 | -    | -   |                            |
| field   |                 | PRO:TERMOFGUAN       | @d2     | 5500 | 1188 | 729  | 177 |                            |
| field   |                 | PRO:TERMOFALLOW      | @d2     | 6594 | 1188 | 896  | 177 |                            |

band ?EXTENSION
| kind  | label | text or field          | picture | x    | y   | w    | h   | attributes  |
|-------|-------|------------------------|---------|------|-----|------|-----|-------------|
| text  |       | "Extension Information" |        | 73   | 10  | 1365 | 177 | bold        |
| text  |       | "Del Price    Unit"    |         | 1542 | 10  | 865  | 177 | right       |
| text  |       | "FOB Price   Unit"     |         | 2885 | 10  | 865  | 177 | right       |
| text  |       | "Allowance     Unit"   |         | 4229 | 10  | 938  | 177 | right       |
| text  |       | "Price Exp."           |         | 5646 | 10  | 604  | 177 | right       |
| text  |       | "Allow Exp."           |         | 6750 | 10  | 594  | 177 | right       |
| field |       | PRO:EXTPRICE           | @s10    | 1365 | 167 | 760  | 177 | bold, right |
| field |       | PRO:EXTUM              | @s2     | 2156 | 167 | 250  | 177 | bold, right |
| field |       | PRO:EXTFPRICE          | @s10    | 2698 | 167 | 771  | 177 | bold, right |
| field |       | PRO:EXTFUM             | @s2     | 3500 | 167 | 250  | 177 | bold, right |
| field |       | PRO:EXTALLOW           | @s16    | 3802 | 167 | 1031 | 177 | bold, right |
| field |       | PRO:EXTALLOWUM         | @s2     | 4917 | 167 | 250  | 177 | bold, right |
| field |       | PRO:EXTTERMOFG         | @d2     | 5635 | 167 | -    | -   | right       |
| field |       | PRO:EXTTERMOFA         | @d2     | 6729 | 167 | -    | -   | right       |

band ?HISTORY
| kind  | label         | text or field       | picture | x    | y   | w    | h   | attributes            |
|-------|---------------|---------------------|---------|------|-----|------|-----|-----------------------|
| text  |               | "History:"          |         | 31   | 10  | -    | -   | right                 |
| text  | ?HistMfrLabel | "Manufacturer Name" |         | 542  | 10  | 1031 | 177 |                       |
| text  |               | "Pack"              |         | 2500 | 10  | 313  | 177 | right                 |
| text  |               | "Product Code"      |         | 3313 | 10  | 740  | 177 | right                 |
| text  |               | "Quantity"          |         | 4188 | 10  | 448  | 177 | right                 |
| text  |               | "Price"             |         | 4719 | 10  | 333  | 177 |                       |
| text  |               | "Distributor Name"  |         | 5531 | 10  | 927  | 177 |                       |
| text  |               | "Won by:"           |         | 31   | 167 | 500  | 177 | italic, right         |
| field |               | HST:MANUFAC         | @s36    | 531  | 167 | 1938 | 177 |                       |
| field |               | HST:PACK            | @s10    | 2500 | 167 | -    | -   |                       |
| field |               | HST:PRODCODE        | @s14    | 3125 | 167 | -    | -   | right                 |
| field |               | HST:QTY             | @n-9    | 4073 | 167 | -    | -   | right                 |
| field |               | HST:PRICE           | @s50    | 4719 | 167 | 781  | 177 |                       |
| field |               | HST:DISTRIBUTOR     | @s36    | 5542 | 167 | 1938 | 177 |                       |
| text  | ?HistDelLabel | "Del:"              |         | 4323 | 344 | 313  | 177 | italic, right, hidden |
| field |               | LOC:HISTDEL         | @s30    | 4719 | 344 | -    | -   | italic, hidden        |
| text  | ?HistFobLabel | "FOB:"              |         | 4323 | 531 | 313  | 177 | italic, right, hidden |
| field |               | LOC:HISTFOB         | @s30    | 4719 | 531 | -    | -   | italic, hidden        |

band ?HISTNOTES
| kind    | label | text or field       | picture | x    | y  | w    | h    | attributes |
|---------|-------|---------------------|---------|------|----|------|------|------------|
| text    |       | "Competitor Notes:" |         | 31   | 31 | -    | -    | italic     |
| textbox |       | COB:COMMENTS        |         | 1094 | 42 | 3448 | 1167 |            |

band ?MESSAGE
| kind    | label | text or field | picture | x  | y  | w    | h | attributes |
|---------|-------|---------------|---------|----|----|------|---|------------|
| textbox |       | SPECMSG2      |         | 30 | 10 | 7440 | - |            |

band ?COMMENTS
| kind    | label | text or field   | picture | x   | y  | w    | h   | attributes |
|---------|-------|-----------------|---------|-----|----|------|-----|------------|
| text    |       | "Comments:"     |         | 21  | 31 | 573  | 177 |            |
| textbox |       | LOC:ALLCOMMENTS |         | 646 | 31 | 6792 | -   |            |

band ?SEPARATOR
| line |  |  |  | 10 | 21 | 7479 | 0 |  |

band ?MFRHDR2 height=521
| kind  | label | text or field | picture | x   | y   | w    | h   | attributes |
|-------|-------|---------------|---------|-----|-----|------|-----|------------|
| text  |       | "Notes:"      |         | 31  | 31  | 417  | 177 | italic     |
| field |       | COMMENTS1     | @s120   | 479 | 31  | 6896 | 156 |            |
| text  |       | "Remarks:"    |         | 42  | 188 | 531  | 177 | italic     |
| field |       | Glo:Remarks   | @s65    | 615 | 188 | 4458 | 177 |            |
| line  |       |               |         | 10  | 396 | 7479 | 0   |            |

footer at=500,10250,7500,250

form at=500,500,7500,10000
)layout";

}  // namespace tdx::reports
