// The procedures of the main module that other modules call: the lookup windows, the calendar
// and the output dialog. Plain C names, as the report module binds them by name at load.
//
// Lookup windows (no arguments): called with GlobalRequest = 4, GlobalResponse = 2 and the
// user's partial entry typed into the keyboard buffer (runtime/ui/keyboard.h). Each opens its
// file through the use counter, shows its file in one key order positioned at the partial
// entry, and returns GlobalResponse = 1 with the chosen record in the file's record buffer, or
// GlobalResponse = 2 with the buffer as it was (cancelled, or the file could not be opened:
// then a message says why).
//
//   window               file      key order          list holds            record named by
//   MANUFCTRBROWSE       MANUF     MAN:BY_MANUF        every brand           MAN:MANUF_NAME
//   DISTRIBUTORBROWSE    DISTRI    DIS:BY_DISTRI       every distributor     DIS:DISTRI_NAME
//   AGENCYBROWSE         AGENCY    AGE:BY_AGENCY       every agency          AGE:AGENCY_NAME
//   PRODUCTBROWSE        PRODUCT   PRD:BY_PROD_CODE    every product         PRD:PROD_CODE
//   PRODUCTBROWSE2       PRODUCT   PRD:BY_MAN_PRO      products of the brand PRD:PROD_CODE
//                                                      in PRD:MANUFAC (every
//                                                      product, in code order,
//                                                      when it is blank)
//   BIDBROWSE            HEADBID   HEA:BY_BID_ID       every bid             HEA:BID_ID
//   BROWSECOMPETITION    COMP      CMP:BY_NAME         every competitor      CMP:NAME
//   BROWSESALESREPS      SALESREP  SAL:BY_SALES_REP    every sales rep       SAL:SALES_REP
//   BROWSEREGIONS        REGIONS   REG:BY_REGION       every region          REG:REGION
//   BROWSEBIDTYPECODES   Code_Def  COD:By_ID_Value     codes of the type in  COD:VALUE
//                                                      COD:ID ("BIDT" when
//                                                      it is blank)
//
// DATESELECT(day): the calendar, starting at `day` (a day number, 0 = none); returns the day
// chosen, or `day` when the user cancels.
//
// FAXREPORT: the output dialog. Asks where the report goes (preview, print, fax, e-mail) and to
// whom; on confirmation fills the output globals (Glo:PreviewYes, FAX:PrintYes, FAX:FaxYes,
// GLO:EmailReport, GLO:PDFFile, GLO:EmailTo, FAX:ToName, FAX:ToCompany, FAX:ToNumber,
// FAX:FaxSubject, FAX:Comments, GLO:SendOffPeak) and sets GlobalResponse = 1; cancelled, it
// leaves them as they were and sets GlobalResponse = 2. A choice the report could not carry out
// is refused with a message and the dialog asked again: nothing chosen, an e-mail without an
// address or without a PDF file name, an address without "@" or longer than 100 characters, a
// PDF file name longer than 128, a PDF file without e-mail, a fax without a number (or one
// longer than 30 characters), a fax while FAX:AFEBase names no fax server folder.
#pragma once

#include <cstdint>

extern "C" {
void MANUFCTRBROWSE(void);
void DISTRIBUTORBROWSE(void);
void AGENCYBROWSE(void);
void PRODUCTBROWSE(void);
void PRODUCTBROWSE2(void);
void BIDBROWSE(void);
void BROWSECOMPETITION(void);
void BROWSESALESREPS(void);
void BROWSEREGIONS(void);
void BROWSEBIDTYPECODES(void);

int32_t DATESELECT(int32_t day);
void FAXREPORT(void);
}
