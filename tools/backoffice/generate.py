#!/usr/bin/python3
"""Writes a back-office (Granvel) database for the transfer program: principals, customers,
items, prices, principal-customer relations, customer items, contacts and code definitions.

The output is deterministic for a given seed and scale. It is written either straight into an
SQLite file (--sqlite), or as SQL text with one statement per line, ending in ';' (--sql) in the spelling of
SQLite or PostgreSQL (--dialect); the SQL text is what the tests load into a PostgreSQL server
through the SQL layer.

A fixed set of landmark rows comes first in every table, whatever the scale, so that tests can
name them (see LANDMARKS in docs/transfer.md); random rows follow:
  - principals with the same name in any letter case, names with accented and non-Windows-1252
    letters, blank and NULL second address lines, a code with a quote in it;
  - items in the current or the older layout (--items-layout), bid items 'Y', 'N' and 'y',
    discontinued items, codes that differ only in the 15th character;
  - prices with past and future start dates, list prices and customer prices;
  - code definitions of id 336 (terms) and of other ids with the same values.

Dates and times are the runtime's day numbers (day 4 = 1 January 1801) and hundredths of a
second since midnight plus one. Past start dates lie in 2015-2024 and future ones in 2099, so the
data keeps its past and its future whatever day a test runs.

Usage:
  generate.py --sqlite GRANVEL.DB [--scale test|demo|bench] [--items-layout current|older]
  generate.py --sql bo.sql --dialect postgresql [--scale test]
"""

import argparse
import datetime
import os
import random
import sqlite3
import sys

# ---------------------------------------------------------------------------------------------
# Tables: (SQL column name, type) in declaration order. Types: L = LONG (integer),
# S n = STRING(n)/CSTRING(n) text, D d p = DECIMAL(d,p).


def L(name):
    return (name, "L", 0, 0)


def S(name, n):
    return (name, "S", n, 0)


def D(name, d, p):
    return (name, "D", d, p)


def items_columns(layout):
    cols = [L("AUTOID"), S("PRIN_CODE", 10), S("CODE", 15), S("BRAND", 10), S("DESCRIPTION", 45),
            L("PACK"), D("SIZE", 7, 2), S("SIZE_UM", 2), S("CLASS", 5), S("CATEGORY", 5),
            S("UPC", 14 if layout == "current" else 12), S("UM_SOLD_BY", 2), S("UM_PRICE_BY", 2),
            D("GROSS_WEIGHT", 11, 3), S("GW_UM", 2), D("NET_WEIGHT", 11, 3), S("NW_UM", 2),
            D("CubeSize" if layout == "current" else "CUBE", 11, 3),
            D("HEIGHT", 11, 2), D("WIDTH", 11, 2), D("LENGTH", 11, 2),
            L("UNITS_LAYER"), L("NBR_LAYERS"), D("COMN_RATE", 11, 4), S("COMN_TYPE", 1),
            D("EQUIV_UNIT", 11, 3), D("PORTION_SIZE", 11, 2), S("PORTION_UM", 2), L("NBR_PORTIONS"),
            S("CATCH_WEIGHT", 1), S("CN_LABEL", 1), S("BID_ITEM", 1), S("BIDMAN_XFER", 1),
            S("PALLET_REQD", 1), S("UPDATE_CODE", 1), L("UPDATE_DATE"), L("UPDATE_TIME"),
            S("PACK_SIZE_TX", 12), D("INNER_PACK", 11, 2), S("DISCONTINUED", 1), S("USERID", 10),
            S("OFFICECODE", 10)]
    if layout == "current":
        cols += [L("KOSHER"), S("MODIFIEDBY", 10), S("KOSHERGRADE", 25)]
    return cols


PRINCIPAL = ([L("AUTOID"), S("CODE", 10), S("NAME", 35), S("ADR1", 35), S("ADR2", 35),
              S("CITY", 20), S("STATE", 2), S("ZIP", 10), L("START_DATE"), S("CLASS", 4),
              S("CATEGORY", 4), S("COMM_MODE", 3), S("DFLT_UM", 2), D("DFLT_CM_RATE", 11, 4),
              S("DFLT_CM_TYPE", 1), L("TERMS_CODE"), S("UPC_SYS", 2), S("UPC_MFG", 5),
              L("NBR_BRACKETS")] + [S("BRACKET_ID%d" % i, 3) for i in range(1, 9)] +
             [D("BRACKET_QTY%d" % i, 11, 2) for i in range(1, 9)] +
             [S("BRACKET_UM", 2), S("GL_DEPT", 4), S("BROKER_ID", 10), L("MIN_QTY"),
              S("FRT_PMT_CODE", 2), S("TRANS_TYPE", 2), S("PALLET_EXCHG", 1), S("UNIT_LOAD_CD", 2),
              S("ROUTING", 35), S("FOB_PT_CODE", 2), S("FOB_POINT", 30), S("ACCT_EXEC", 10),
              S("ACCT_ADMIN", 10), S("PRIM_CONTACT", 10), S("OE_SYS_ID", 10), S("PRIM_SF", 10),
              S("BRKG_FOB", 1), S("AR_INVOICE", 1), S("WHSE_INVEN", 1), S("CFM_PROG", 8),
              S("CFX_PROG", 8), S("CFM_SORT", 1), S("N101_BT", 2), S("N101_VN", 2), S("N101_ST", 2),
              S("N103_ST", 2), S("G6805", 2), S("G6807", 2), S("CONTRACT_N9", 1), S("G7604", 2),
              S("UPDATE_CODE", 1), L("UPDATE_DATE"), L("UPDATE_TIME"), S("ESL_PROG", 8),
              S("UCS_PROG", 8), S("BRKT_WT_TYPE", 1), S("USERID", 10), S("OFFICECODE", 10),
              L("NOFAXASSUME"), S("DEFAULTPRICELIST", 16), L("UPCLENGTH14"), S("PHONENBR", 25),
              S("FAXNBR", 25), S("EMAIL", 100), L("DISCONTINUED"), D("VARIANCEPCT", 11, 2),
              S("EXTRADATA", 100)])

CUSTOMER = [L("AUTOID"), S("CODE", 10), S("NAME", 35), S("ADR1", 35), S("ADR2", 35), S("CITY", 20),
            S("STATE", 2), S("ZIP", 10), L("START_DATE"), S("OE_SYS_ID", 10), S("CLASS", 4),
            S("CATEGORY", 4), S("ORD_CONFIRM", 1), S("BROKER_CODE", 10), S("PRIM_ST", 10),
            S("REGION", 2), S("ACV_CODE", 10), S("INV_NOTE", 60), S("SLSPN_CODE", 10),
            S("CFM_PROG", 8), S("FAX_PROG", 8), S("CFM_SORT", 1), S("UPDATE_CODE", 1),
            L("UPDATE_DATE"), L("UPDATE_TIME"), S("USERID", 10), S("OFFICECODE", 10),
            L("NOFAXASSUME"), S("PHONENBR", 25), S("FAXNBR", 25), S("EMAIL", 100),
            S("EXTRADATA", 100)]

CST_ITEM = ([L("AUTOID"), S("CST_CODE", 10), S("PRN_CODE", 10), S("ITM_CODE", 15), S("CODE", 15),
             S("CUSTOMER_NAME", 35), L("FIRST_SOLD")] + [L("LAST_SOLD%d" % i) for i in range(1, 6)] +
            [D("QTY_SOLD%d" % i, 11, 2) for i in range(1, 6)] +
            [D("PRICE_SOLD%d" % i, 11, 4) for i in range(1, 6)] +
            [S("UPDATE_CODE", 1), L("UPDATE_DATE"), L("UPDATE_TIME"), S("DISCONTINUED", 1),
             D("COMM_RATE", 11, 4), S("COMM_TYPE", 1), S("USERID", 10), S("OFFICECODE", 10)] +
            [S("ORDNBR%d" % i, 10) for i in range(1, 6)])

PR_CT = [L("AUTOID"), S("PRN", 10), S("SF", 10), S("CST", 10), S("ST", 10), S("PRNID", 17),
         S("PRICE_MODE", 2), S("PRICE_LIST", 16), S("SLSPN_CODE", 10), S("FAX_CONFIRM", 1),
         S("CREDIT_HOLD", 1), D("ACV", 11, 2), S("BUYER", 10), S("BROKER_ID", 10),
         D("COMN_RATE", 11, 4), S("COMN_TYPE", 1), S("ID_TYPE", 2), S("DEL_NOTE", 60),
         S("USERID", 10), S("OFFICECODE", 10), L("PRINTBBONORDERS"), S("BRKG_FOB", 1),
         S("TERMS", 4), L("NBR_DAYS"), L("TERMSCALC")]

PRICES = ([L("AUTOID"), S("PRN_CODE", 10), S("PRC_LIST_NBR", 16), S("ITM_CODE", 15),
           S("CST_CODE", 10), L("START_DATE"), L("END_DATE"), L("NBR_BRACKETS"), S("BRACKET_UM", 2)] +
          [D("PRICE%d" % i, 11, 4) for i in range(1, 9)] +
          [S("BRACKET_ID%d" % i, 3) for i in range(1, 9)] +
          [L("BRACKET_QTY%d" % i) for i in range(1, 9)] +
          [D("COMN_RATE", 11, 4), S("COMN_TYPE", 1), S("UM_PRICE_BY", 2), S("UPDATE_CODE", 1),
           L("UPDATE_DATE"), L("UPDATE_TIME"), S("USERID", 10), S("OFFICECODE", 10)])

CONTACTS = [L("AUTOID"), S("USERID", 10), S("ORG_TYPE", 2), S("ORG_CODE", 10), S("CODE", 10),
            S("NAME", 35), S("ADR1", 35), S("ADR2", 35), S("CITY", 20), S("STATE", 2), S("ZIP", 10),
            S("COUNTRY", 10), S("TITLE", 30), S("FUNCTION_CDE", 4), S("SALUTATION", 4),
            S("DEAR", 30), S("NOTE", 70), S("INITIALS", 3), S("LABEL_NAME", 1), S("UPDATE_CODE", 1),
            L("UPDATE_DATE"), L("UPDATE_TIME"), S("OFFICECODE", 10), S("PHONENBR", 25),
            S("FAXNBR", 25), S("EMAIL", 100), S("EXTRADATA", 100)]

CODEDEFS = [L("AUTOID"), S("ID", 4), S("VALUE", 4), S("DESCRIPTION", 60), S("UPDATE_CODE", 1),
            L("UPDATE_DATE"), L("UPDATE_TIME"), S("USERID", 10), S("OFFICECODE", 10)]

# Keys: (index name, columns, unique, nocase)
KEYS = {
    "Items": [("IT_AutoKey", ["AUTOID", "USERID"], True, True),
              ("IT_KeyOvl", ["PRIN_CODE", "CODE"], True, True),
              ("IT_KeyUpc_Mi", ["UPC"], False, True)],
    "Principal": [("PR_AutoKey", ["AUTOID", "USERID"], True, False),
                  ("PR_KeyCode", ["CODE"], True, False),
                  ("PR_KeyAcct_Exec", ["ACCT_EXEC"], False, False),
                  ("PR_KeyAcct_Admin", ["ACCT_ADMIN"], False, False),
                  ("PR_KeyName", ["NAME"], False, False),
                  ("PR_KeyOe_Sys_ID", ["OE_SYS_ID"], False, False)],
    "Customer": [("CT_AutoKey", ["AUTOID", "USERID"], True, False),
                 ("CT_KeyCode", ["CODE"], True, False),
                 ("CT_KeyZip", ["ZIP"], False, False),
                 ("CT_KeyName", ["NAME"], False, False),
                 ("CT_KeyOe_Sys_ID", ["OE_SYS_ID"], False, False)],
    "Cst_Item": [("CTM_AutoKey", ["AUTOID", "USERID"], True, True),
                 ("CTM_KeyCst_Prn_Itm", ["CST_CODE", "PRN_CODE", "ITM_CODE"], True, True),
                 ("CTM_KeyCst_Itm", ["CST_CODE", "CODE"], False, True),
                 ("CTM_KeyPrn_Itm", ["PRN_CODE", "ITM_CODE", "CST_CODE"], False, True),
                 ("CTM_KeyPrn_Cst_Itm", ["PRN_CODE", "CST_CODE", "CODE"], False, True)],
    "Pr_Ct": [("PCX_AutoKey", ["AUTOID", "USERID"], True, True),
              ("PCX_KeyPscs", ["PRN", "SF", "CST", "ST"], True, True),
              ("PCX_KeyPrnID", ["PRNID"], False, True)],
    "Prices": [("PC_AutoKey", ["AUTOID", "USERID"], True, True),
               ("PC_KeyPic_Ovl", ["PRN_CODE", "PRC_LIST_NBR", "ITM_CODE", "CST_CODE", "START_DATE"],
                True, True),
               ("PC_KeyPrn_Itm", ["PRN_CODE", "ITM_CODE"], False, True)],
    "Contacts": [("CN_AutoKey", ["AUTOID", "USERID"], True, False),
                 ("CN_KeyToc", ["ORG_TYPE", "ORG_CODE", "CODE"], True, False)],
    "CodeDefs": [("CDE_AutoKey", ["AUTOID", "USERID"], True, False),
                 ("CDE_KeyCode_Value", ["ID", "VALUE"], True, False),
                 ("CDE_Key_ID", ["ID"], False, False),
                 ("CDE_KeyValue", ["VALUE"], False, False)],
}

SCALES = {
    # principals, customers, items, prices (roughly), relations, customer items, contacts
    "test": dict(principals=40, customers=30, items=300, prices=600, relations=80, cst_items=200),
    "demo": dict(principals=400, customers=300, items=5000, prices=10000, relations=1500,
                 cst_items=5000),
    "bench": dict(principals=10000, customers=10000, items=100000, prices=200000,
                  relations=20000, cst_items=100000),
}

# ---------------------------------------------------------------------------------------------
# Values


def day_number(y, m, d):
    return (datetime.date(y, m, d) - datetime.date(1800, 12, 28)).days


FUTURE_DAY = day_number(2099, 6, 1)
WORDS = ["Acme", "Blue", "Harbor", "Golden", "Prairie", "Summit", "Valley", "Coastal", "Maple",
         "River", "Sunrise", "Heritage", "Pioneer", "Orchard", "Northern", "Southern", "Lakeside",
         "Country", "Premier", "Crystal", "Evergreen", "Frontier", "Meadow", "Liberty"]
KINDS = ["Foods", "Farms", "Dairy", "Bakery", "Seafood", "Provisions", "Kitchens", "Mills",
         "Packing Co", "Brands", "Produce", "Creamery"]
PRODUCTS = ["Chicken Breast", "Green Beans", "Tomato Sauce", "Cheddar Cheese", "Apple Juice",
            "Corn Kernels", "Beef Patties", "Dinner Rolls", "Rice Pilaf", "Peach Slices",
            "Turkey Breast", "Mashed Potatoes", "Orange Juice", "Pizza Crust", "Fish Fillets",
            "Yogurt Cups", "Ham Slices", "Pinto Beans", "Salsa", "Pancake Mix"]
CITIES = [("Chicago", "IL", "60601"), ("Atlanta", "GA", "30301"), ("Dallas", "TX", "75201"),
          ("Denver", "CO", "80202"), ("Boston", "MA", "02108"), ("Phoenix", "AZ", "85001"),
          ("Portland", "OR", "97201"), ("Nashville", "TN", "37201")]
STREETS = ["Main St", "Industrial Pkwy", "Commerce Dr", "Harbor Blvd", "Oak Ave", "Mill Rd"]
UNITS = ["LB", "OZ", "GA", "CT", "EA", "KG"]
TERMS = [(1, "Net 30 Days"), (2, "2% 10 Net 30"), (3, "Net 15 Days"), (4, "1% 15 Net 45"),
         (5, "Cash on Delivery Terms Apply"), (6, "Net 60 Days"), (7, "Prepaid"),
         (8, "2% 10th Prox Net 25th")]


class Gen:
    def __init__(self, seed, scale, layout):
        self.r = random.Random(seed)
        self.n = SCALES[scale]
        self.layout = layout
        self.tables = {}

    def past_day(self):
        return day_number(2015, 1, 1) + self.r.randrange(0, 365 * 10)

    def time(self):
        return self.r.randrange(1, 8640000)

    def address(self):
        city, state, zip_ = self.r.choice(CITIES)
        adr1 = "%d %s" % (self.r.randrange(1, 9999), self.r.choice(STREETS))
        pick = self.r.random()
        adr2 = None if pick < 0.2 else ("" if pick < 0.6 else "Suite %d" % self.r.randrange(100, 999))
        return adr1, adr2, city, state, zip_

    def company(self):
        return "%s %s" % (self.r.choice(WORDS), self.r.choice(KINDS))

    # --- principals -------------------------------------------------------------------------
    def principals(self):
        rows = []
        landmarks = [
            # code, name, adr1, adr2, terms, prim contact
            ("ACME", "Acme Foods", "100 Main St", "", 1, "JSMITH"),
            ("ACME2", "ACME FOODS", "200 Main St", "Suite 5", 2, "MJONES"),
            ("ACME3", "acme foods", "300 Main St", None, 3, ""),
            ("OKE'EFE", "O'Keefe Provisions", "12 Harbor Blvd", "Building 7, Loading Dock 3", 4,
             "PO'NEIL"),
            ("CAFE", "Caf\u00e9 Cr\u00e8me Brands", "1 Rue de Paris", "", 5, "ABLANC"),
            ("LODZ", "\u0141\u00f3d\u017a Pierogi", "9 Ulica Way", "", 99, "KNOWAK"),
            ("NULLS", "Null Row Foods", None, None, None, None),
            ("lower", "Lower Case Code Co", "5 Oak Ave", "", 6, ""),
        ]
        self.prin_codes = []
        for i, (code, name, a1, a2, terms, contact) in enumerate(landmarks, 1):
            city, state, zip_ = CITIES[i % len(CITIES)]
            rows.append(self.principal_row(i, code, name, a1, a2, city, state, zip_, terms, contact,
                                           landmark=(code == "NULLS")))
            self.prin_codes.append(code)
        used = {c.upper() for c in self.prin_codes}
        names = []
        for i in range(len(landmarks) + 1, self.n["principals"] + 1):
            code = "P%05d" % i
            if code.upper() in used:
                continue
            used.add(code.upper())
            # Every tenth principal repeats an earlier name in another letter case.
            if names and self.r.random() < 0.1:
                name = self.r.choice(names)
                name = self.r.choice([name.upper(), name.lower(), name.title()])
            else:
                name = self.company()
                names.append(name)
            a1, a2, city, state, zip_ = self.address()
            contact = "C%05d" % i if self.r.random() < 0.7 else ""
            rows.append(self.principal_row(i, code, name, a1, a2, city, state, zip_,
                                           self.r.randrange(1, 9), contact))
            self.prin_codes.append(code)
        self.tables["Principal"] = rows

    def principal_row(self, autoid, code, name, a1, a2, city, state, zip_, terms, contact,
                      landmark=False):
        r = self.r
        if landmark:  # the row whose optional columns are all NULL
            row = {c[0]: None for c in PRINCIPAL}
            row.update(AUTOID=autoid, CODE=code, NAME=name, USERID="ADMIN")
            return row
        row = {
            "AUTOID": autoid, "CODE": code, "NAME": name, "ADR1": a1, "ADR2": a2, "CITY": city,
            "STATE": state, "ZIP": zip_, "START_DATE": self.past_day(), "CLASS": "FS",
            "CATEGORY": "GRO", "COMM_MODE": "PCT", "DFLT_UM": "CS",
            "DFLT_CM_RATE": "%.4f" % (r.randrange(100, 800) / 100), "DFLT_CM_TYPE": "P",
            "TERMS_CODE": terms, "UPC_SYS": "0", "UPC_MFG": "%05d" % r.randrange(0, 99999),
            "NBR_BRACKETS": 2, "BRACKET_UM": "CS", "GL_DEPT": "100",
            "BROKER_ID": "BRK%04d" % autoid, "MIN_QTY": r.choice([0, 10, 25, 50, 100, 250]),
            "FRT_PMT_CODE": "PP", "TRANS_TYPE": "TL", "PALLET_EXCHG": "N", "UNIT_LOAD_CD": "PL",
            "ROUTING": "Best Way", "FOB_PT_CODE": "OR", "FOB_POINT": city,
            "ACCT_EXEC": "AE%02d" % r.randrange(1, 20), "ACCT_ADMIN": "AA%02d" % r.randrange(1, 9),
            "PRIM_CONTACT": contact, "OE_SYS_ID": "OE%05d" % autoid, "PRIM_SF": "",
            "BRKG_FOB": "N", "AR_INVOICE": "Y", "WHSE_INVEN": "N", "CFM_PROG": "", "CFX_PROG": "",
            "CFM_SORT": "", "N101_BT": "BT", "N101_VN": "VN", "N101_ST": "ST", "N103_ST": "92",
            "G6805": "", "G6807": "", "CONTRACT_N9": "", "G7604": "", "UPDATE_CODE": "A",
            "UPDATE_DATE": self.past_day(), "UPDATE_TIME": self.time(), "ESL_PROG": "",
            "UCS_PROG": "", "BRKT_WT_TYPE": "", "USERID": "ADMIN", "OFFICECODE": "MAIN",
            "NOFAXASSUME": 0, "DEFAULTPRICELIST": "", "UPCLENGTH14": r.randrange(0, 2),
            "PHONENBR": "(312)555-%04d" % r.randrange(0, 9999), "FAXNBR": "",
            "EMAIL": "orders%d@example.com" % autoid, "DISCONTINUED": 0, "VARIANCEPCT": "5.00",
            "EXTRADATA": None,
        }
        for i in range(1, 9):
            row["BRACKET_ID%d" % i] = ("1-9", "10+")[i - 1] if i <= 2 else ""
            row["BRACKET_QTY%d" % i] = ("1.00", "10.00")[i - 1] if i <= 2 else "0.00"
        return row

    # --- customers --------------------------------------------------------------------------
    def customers(self):
        rows = []
        landmarks = [("SYSCO", "Sysco Central"), ("SYSCO2", "SYSCO CENTRAL"),
                     ("USF", "US Foods \u00d1orth"), ("GFS'", "Gordon's Food Service")]
        self.cust_codes = []
        used = set()
        names = []
        for i in range(1, self.n["customers"] + 1):
            if i <= len(landmarks):
                code, name = landmarks[i - 1]
            else:
                code = "C%05d" % i
                if names and self.r.random() < 0.08:
                    name = self.r.choice(names).upper()
                else:
                    name = self.company().replace("Brands", "Distribution")
                    names.append(name)
            used.add(code.upper())
            a1, a2, city, state, zip_ = self.address()
            r = self.r
            rows.append({
                "AUTOID": i, "CODE": code, "NAME": name, "ADR1": a1, "ADR2": a2, "CITY": city,
                "STATE": state, "ZIP": zip_, "START_DATE": self.past_day(),
                "OE_SYS_ID": "SYS%05d" % i, "CLASS": "DIST", "CATEGORY": "BRD", "ORD_CONFIRM": "Y",
                "BROKER_CODE": "BRK", "PRIM_ST": "", "REGION": r.choice(["NE", "SE", "MW", "W"]),
                "ACV_CODE": "", "INV_NOTE": "", "SLSPN_CODE": "S%02d" % r.randrange(1, 30),
                "CFM_PROG": "", "FAX_PROG": "", "CFM_SORT": "", "UPDATE_CODE": "A",
                "UPDATE_DATE": self.past_day(), "UPDATE_TIME": self.time(), "USERID": "ADMIN",
                "OFFICECODE": "MAIN", "NOFAXASSUME": 0, "PHONENBR": "", "FAXNBR": "",
                "EMAIL": None if r.random() < 0.5 else "buyer%d@example.com" % i,
                "EXTRADATA": None,
            })
            self.cust_codes.append(code)
        self.tables["Customer"] = rows

    # --- items and prices -------------------------------------------------------------------
    def item_row(self, autoid, prin, code, desc, pack, size, um, bid="Y", disc="N"):
        r = self.r
        upc_len = 14 if self.layout == "current" else 12
        gross = r.randrange(1000, 6000000) / 1000
        row = {
            "AUTOID": autoid, "PRIN_CODE": prin, "CODE": code, "BRAND": prin[:10],
            "DESCRIPTION": desc, "PACK": pack, "SIZE": size, "SIZE_UM": um,
            "CLASS": "FRZ", "CATEGORY": "MEAT",
            "UPC": "".join(r.choice("0123456789") for _ in range(upc_len)),
            "UM_SOLD_BY": "CS", "UM_PRICE_BY": "CS", "GROSS_WEIGHT": "%.3f" % gross, "GW_UM": "LB",
            "NET_WEIGHT": "%.3f" % (gross * 0.9), "NW_UM": "LB",
            ("CubeSize" if self.layout == "current" else "CUBE"): "%.3f" % (r.randrange(100, 3000) / 1000),
            "HEIGHT": "10.50", "WIDTH": "12.00", "LENGTH": "16.25", "UNITS_LAYER": 10,
            "NBR_LAYERS": 6, "COMN_RATE": "3.0000", "COMN_TYPE": "P", "EQUIV_UNIT": "1.000",
            "PORTION_SIZE": "4.00", "PORTION_UM": "OZ", "NBR_PORTIONS": r.randrange(10, 200),
            "CATCH_WEIGHT": r.choice(["Y", "N", "N", "N"]), "CN_LABEL": "N", "BID_ITEM": bid,
            "BIDMAN_XFER": "", "PALLET_REQD": "N", "UPDATE_CODE": "A",
            "UPDATE_DATE": self.past_day(), "UPDATE_TIME": self.time(),
            "PACK_SIZE_TX": ("%d/%s %s" % (pack, size, um))[:12], "INNER_PACK": "0.00",
            "DISCONTINUED": disc, "USERID": "ADMIN", "OFFICECODE": "MAIN",
        }
        if self.layout == "current":
            row.update(KOSHER=r.randrange(0, 2), MODIFIEDBY="ADMIN", KOSHERGRADE="")
        return row

    def price_row(self, autoid, prin, lst, item, cst, start, levels=2, base=None):
        r = self.r
        base = base if base is not None else r.randrange(500, 90000) / 100
        row = {
            "AUTOID": autoid, "PRN_CODE": prin, "PRC_LIST_NBR": lst, "ITM_CODE": item,
            "CST_CODE": cst, "START_DATE": start, "END_DATE": 0, "NBR_BRACKETS": levels,
            "BRACKET_UM": "CS", "COMN_RATE": "3.0000", "COMN_TYPE": "P", "UM_PRICE_BY": "CS",
            "UPDATE_CODE": "A", "UPDATE_DATE": self.past_day(), "UPDATE_TIME": self.time(),
            "USERID": "ADMIN", "OFFICECODE": "MAIN",
        }
        for i in range(1, 9):
            on = i <= levels
            row["PRICE%d" % i] = "%.4f" % (base - (i - 1) * 0.25) if on else "0.0000"
            row["BRACKET_ID%d" % i] = ("%d+" % (10 * (i - 1)) if i > 1 else "1-9") if on else ""
            row["BRACKET_QTY%d" % i] = 10 * (i - 1) if on else 0
        return row

    def items_and_prices(self):
        items, prices = [], []
        # Landmarks: known prices for the backwards price lookup.
        d2019, d2021 = day_number(2019, 3, 1), day_number(2021, 7, 1)
        lm = [
            ("ACME", "CHKBRST-10", "Chicken Breast Boneless Skinless Fillets IQF", 6, "10.00", "LB",
             "Y", "N"),
            ("ACME", "FUTUREONLY", "Future Priced Green Beans", 12, "12.50", "OZ", "Y", "N"),
            ("ACME", "NOPRICE", "Never Priced Peaches", 100, "12.5", "OZ", "Y", "N"),
            ("ACME", "LOWERBID", "Lower Case Bid Flag", 1, "1.00", "EA", "y", "N"),
            ("ACME", "DISCONT", "Discontinued Corn", 1, "1.00", "EA", "Y", "Y"),
            ("ACME", "LONGCODE-ABCDE1", "Fifteen Character Code One", 4, "5.00", "LB", "Y", "N"),
            ("ACME", "LONGCODE-ABCDE2", "Fifteen Character Code Two", 4, "5.00", "LB", "Y", "N"),
            ("CAFE", "CR\u00c8ME-1", "Cr\u00e8me Br\u00fbl\u00e9e \u2013 Vanilla", 24, "4.00", "OZ",
             "Y", "N"),
            ("OKE'EFE", "OK-1", "O'Keefe's Pot Roast", 4, "2.50", "KG", "Y", "N"),
        ]
        autoid = 0
        for prin, code, desc, pack, size, um, bid, disc in lm:
            autoid += 1
            items.append(self.item_row(autoid, prin, code, desc, pack, size, um, bid, disc))
        pid = 0

        def add_price(*a, **k):
            nonlocal pid
            pid += 1
            prices.append(self.price_row(pid, *a, **k))

        add_price("ACME", "", "CHKBRST-10", "", d2019, base=40.0)
        add_price("ACME", "", "CHKBRST-10", "", d2021, levels=3, base=42.5)
        add_price("ACME", "", "CHKBRST-10", "", FUTURE_DAY, base=49.0)
        add_price("ACME", "", "CHKBRST-10", "SYSCO", d2021, base=39.0)
        add_price("ACME", "LIST-A", "CHKBRST-10", "", d2021, base=41.0)
        add_price("ACME", "", "FUTUREONLY", "", FUTURE_DAY, base=9.0)
        add_price("ACME", "", "FUTUREONLY", "USF", d2019, base=8.0)
        add_price("CAFE", "", "CR\u00c8ME-1", "", d2019, base=18.75)
        add_price("OKE'EFE", "", "OK-1", "", d2021, base=33.0)

        used = {(i["PRIN_CODE"].upper(), i["CODE"].upper()) for i in items}
        self.item_keys = [(i["PRIN_CODE"], i["CODE"]) for i in items]
        n_items = self.n["items"]
        per_item = max(1, self.n["prices"] // max(1, n_items))
        extra = self.n["prices"] - per_item * n_items
        while autoid < n_items:
            autoid += 1
            prin = self.r.choice(self.prin_codes)
            code = "%s%06d" % (self.r.choice(["IT", "SKU-", "X"]), autoid)
            if (prin.upper(), code.upper()) in used:
                continue
            used.add((prin.upper(), code.upper()))
            desc = "%s %s" % (self.r.choice(WORDS), self.r.choice(PRODUCTS))
            pack = self.r.choice([1, 4, 6, 12, 24, 48, 100])
            size = "%.2f" % self.r.choice([0.25, 1, 2.5, 5, 10, 12.5, 16, 32, 50])
            pick = self.r.random()
            bid = "Y" if pick < 0.8 else ("N" if pick < 0.95 else "y")
            disc = "Y" if self.r.random() < 0.05 else "N"
            items.append(self.item_row(autoid, prin, code, desc, pack, size,
                                       self.r.choice(UNITS), bid, disc))
            self.item_keys.append((prin, code))
            # Prices: blank-list history, sometimes a future price, a list or customer price.
            n = per_item + (1 if extra > 0 and self.r.random() < 0.5 else 0)
            days = set()
            for k in range(n):
                kind = self.r.random()
                if kind < 0.6:
                    lst, cst = "", ""
                elif kind < 0.8:
                    lst, cst = "LIST-%s" % self.r.choice("ABC"), ""
                else:
                    lst, cst = "", self.r.choice(self.cust_codes)
                start = FUTURE_DAY if self.r.random() < 0.15 else self.past_day()
                if (lst, cst, start) in days:
                    continue
                days.add((lst, cst, start))
                add_price(prin, lst, code, cst, start, levels=self.r.randrange(1, 9))
        self.tables["Items"] = items
        self.tables["Prices"] = prices

    # --- relations, customer items, contacts, code definitions ------------------------------
    def relations(self):
        rows, used = [], set()
        pairs = [("ACME", "SYSCO"), ("ACME", "USF"), ("OKE'EFE", "GFS'")]
        while len(pairs) < self.n["relations"]:
            pairs.append((self.r.choice(self.prin_codes), self.r.choice(self.cust_codes)))
        for prn, cst in pairs:
            if (prn.upper(), cst.upper()) in used:
                continue
            used.add((prn.upper(), cst.upper()))
            i = len(rows) + 1
            rows.append({
                "AUTOID": i, "PRN": prn, "SF": "", "CST": cst, "ST": "",
                "PRNID": "%s-%s-VENDOR" % (prn[:4], cst[:4]), "PRICE_MODE": "LP",
                "PRICE_LIST": "", "SLSPN_CODE": "S01", "FAX_CONFIRM": "N", "CREDIT_HOLD": "N",
                "ACV": "%.2f" % (self.r.randrange(0, 1000000) / 100), "BUYER": "", "BROKER_ID": "",
                "COMN_RATE": "3.0000", "COMN_TYPE": "P", "ID_TYPE": "VN", "DEL_NOTE": "",
                "USERID": "ADMIN", "OFFICECODE": "MAIN", "PRINTBBONORDERS": 0, "BRKG_FOB": "N",
                "TERMS": "N30", "NBR_DAYS": 30, "TERMSCALC": 0,
            })
        self.tables["Pr_Ct"] = rows

    def customer_items(self):
        rows, used = [], set()
        picks = [("SYSCO", "ACME", "CHKBRST-10"), ("USF", "ACME", "FUTUREONLY")]
        while len(picks) < self.n["cst_items"]:
            prn, itm = self.r.choice(self.item_keys)
            picks.append((self.r.choice(self.cust_codes), prn, itm))
        for cst, prn, itm in picks:
            if (cst.upper(), prn.upper(), itm.upper()) in used:
                continue
            used.add((cst.upper(), prn.upper(), itm.upper()))
            i = len(rows) + 1
            row = {
                "AUTOID": i, "CST_CODE": cst, "PRN_CODE": prn, "ITM_CODE": itm,
                "CODE": "D%07d" % (i * 7), "CUSTOMER_NAME": "", "FIRST_SOLD": self.past_day(),
                "UPDATE_CODE": "A", "UPDATE_DATE": self.past_day(), "UPDATE_TIME": self.time(),
                "DISCONTINUED": "N", "COMM_RATE": "3.0000", "COMM_TYPE": "P", "USERID": "ADMIN",
                "OFFICECODE": "MAIN",
            }
            for k in range(1, 6):
                row["LAST_SOLD%d" % k] = self.past_day()
                row["QTY_SOLD%d" % k] = "%.2f" % self.r.randrange(0, 500)
                row["PRICE_SOLD%d" % k] = "%.4f" % (self.r.randrange(100, 9000) / 100)
                row["ORDNBR%d" % k] = "O%06d" % self.r.randrange(0, 999999)
            rows.append(row)
        self.tables["Cst_Item"] = rows

    def contacts(self):
        rows = []

        def add(org_type, org, code, name, title=""):
            i = len(rows) + 1
            city, state, zip_ = self.r.choice(CITIES)
            rows.append({
                "AUTOID": i, "USERID": "ADMIN", "ORG_TYPE": org_type, "ORG_CODE": org,
                "CODE": code, "NAME": name, "ADR1": "", "ADR2": None, "CITY": city, "STATE": state,
                "ZIP": zip_, "COUNTRY": "USA", "TITLE": title, "FUNCTION_CDE": "SLS",
                "SALUTATION": "", "DEAR": name.split(" ")[0], "NOTE": "", "INITIALS": "",
                "LABEL_NAME": "", "UPDATE_CODE": "A", "UPDATE_DATE": self.past_day(),
                "UPDATE_TIME": self.time(), "OFFICECODE": "MAIN", "PHONENBR": "", "FAXNBR": "",
                "EMAIL": None, "EXTRADATA": None,
            })

        # A contact of the same code under a customer must never be taken for a principal's.
        add("CU", "ACME", "JSMITH", "Wrong Org Type Person")
        add("PR", "ACME", "JSMITH", "John Smith-Worthington III, Esq.", "Sales Manager")
        add("PR", "ACME2", "MJONES", "Mary Jones", "Broker Liaison")
        add("PR", "OKE'EFE", "PO'NEIL", "Patrick O'Neil", "Owner")
        add("PR", "CAFE", "ABLANC", "Am\u00e9lie Blanc", "Directrice")
        add("PR", "LODZ", "KNOWAK", "Krzysztof Nowak", "Prezes")
        for p in self.prin_codes[8:]:
            if self.r.random() < 0.7:
                add("PR", p, "C%s" % p[1:], "%s %s" % (self.r.choice(["Ann", "Bob", "Carla", "Dev"]),
                                                       self.r.choice(["Lee", "Ortiz", "Kim", "Ng"])))
        self.tables["Contacts"] = rows

    def codedefs(self):
        rows = []
        for ident, values in (("335", TERMS[:4]), ("336", TERMS), ("337", TERMS[:2])):
            for value, desc in values:
                if ident != "336":
                    desc = "Other code %s/%d" % (ident, value)
                rows.append({
                    "AUTOID": len(rows) + 1, "ID": ident, "VALUE": str(value), "DESCRIPTION": desc,
                    "UPDATE_CODE": "A", "UPDATE_DATE": day_number(2016, 1, 1), "UPDATE_TIME": 1,
                    "USERID": "ADMIN", "OFFICECODE": "MAIN",
                })
        self.tables["CodeDefs"] = rows

    def run(self):
        self.principals()
        self.customers()
        self.items_and_prices()
        self.relations()
        self.customer_items()
        self.contacts()
        self.codedefs()
        check(self.tables, self.layout)
        return self.tables


def check(tables, layout):
    # Every text fits its column: a stricter database (PostgreSQL) refuses a longer one.
    for t, cols in table_columns(layout).items():
        for row in tables[t]:
            for name, kind, n, _ in cols:
                v = row.get(name)
                if kind == "S" and v is not None and len(v) > n:
                    raise SystemExit("%s.%s: %r is longer than %d" % (t, name, v, n))


def table_columns(layout):
    return {"Principal": PRINCIPAL, "Customer": CUSTOMER, "Items": items_columns(layout),
            "Prices": PRICES, "Pr_Ct": PR_CT, "Cst_Item": CST_ITEM, "Contacts": CONTACTS,
            "CodeDefs": CODEDEFS}


TABLE_ORDER = ["CodeDefs", "Contacts", "Customer", "Cst_Item", "Items", "Pr_Ct", "Prices",
               "Principal"]

# ---------------------------------------------------------------------------------------------
# Output


def sql_type(col):
    name, kind, a, b = col
    if kind == "L":
        return "INTEGER"
    if kind == "S":
        return "VARCHAR(%d)" % a
    return "NUMERIC(%d,%d)" % (a, b)


def schema_sql(layout, dialect):
    out = []
    cols = table_columns(layout)
    for t in TABLE_ORDER:
        body = ", ".join("%s %s" % (c[0], sql_type(c)) for c in cols[t])
        out.append("CREATE TABLE %s (%s)" % (t, body))
    return out


def index_sql(dialect):
    out = []
    for t in TABLE_ORDER:
        for name, cols, unique, nocase in KEYS[t]:
            if dialect == "sqlite":
                parts = ["%s COLLATE NOCASE" % c if nocase and c not in ("AUTOID", "START_DATE")
                         else c for c in cols]
            else:
                parts = ["upper(%s)" % c if nocase and c not in ("AUTOID", "START_DATE") else c
                         for c in cols]
            out.append("CREATE %sINDEX %s ON %s (%s)" % ("UNIQUE " if unique else "", name, t,
                                                          ", ".join(parts)))
    return out


def literal(v):
    if v is None:
        return "NULL"
    if isinstance(v, int):
        return str(v)
    return "'" + str(v).replace("'", "''") + "'"


def insert_sql(tables, layout, batch=100):
    cols = table_columns(layout)
    for t in TABLE_ORDER:
        names = [c[0] for c in cols[t]]
        rows = tables[t]
        for i in range(0, len(rows), batch):
            values = ", ".join("(" + ", ".join(literal(row.get(n, default(c)))
                                               for n, c in zip(names, cols[t])) + ")"
                               for row in rows[i:i + batch])
            yield "INSERT INTO %s (%s) VALUES %s" % (t, ", ".join(names), values)


def default(col):
    # A column a row does not set: blank text or zero, as the back office writes it.
    return "" if col[1] == "S" else (0 if col[1] == "L" else "0")


def write_sqlite(path, tables, layout):
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    for s in schema_sql(layout, "sqlite"):
        db.execute(s)
    cols = table_columns(layout)
    for t in TABLE_ORDER:
        names = [c[0] for c in cols[t]]
        marks = ", ".join("?" * len(names))
        db.executemany("INSERT INTO %s (%s) VALUES (%s)" % (t, ", ".join(names), marks),
                       ([row.get(n, default(c)) if not (c[1] == "D" and row.get(n) is not None)
                         else float(row[n]) for n, c in zip(names, cols[t])]
                        for row in tables[t]))
    for s in index_sql("sqlite"):
        db.execute(s)
    db.commit()
    db.close()


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--sqlite", help="write an SQLite database file")
    ap.add_argument("--sql", help="write SQL text, one statement per line")
    ap.add_argument("--dialect", choices=["sqlite", "postgresql"], default="sqlite")
    ap.add_argument("--scale", choices=sorted(SCALES), default="test")
    ap.add_argument("--items-layout", choices=["current", "older"], default="current")
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    if not a.sqlite and not a.sql:
        ap.error("give --sqlite FILE or --sql FILE")
    tables = Gen(a.seed, a.scale, a.items_layout).run()
    if a.sqlite:
        write_sqlite(a.sqlite, tables, a.items_layout)
    if a.sql:
        with open(a.sql, "w", encoding="utf-8") as f:
            for s in schema_sql(a.items_layout, a.dialect):
                f.write(s + ";\n")
            for s in insert_sql(tables, a.items_layout):
                f.write(s + ";\n")
            for s in index_sql(a.dialect):
                f.write(s + ";\n")
    counts = ", ".join("%s %d" % (t, len(tables[t])) for t in TABLE_ORDER)
    print(counts, file=sys.stderr)


if __name__ == "__main__":
    main()
