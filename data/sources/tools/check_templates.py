#!/usr/bin/env python3
"""Plausibility check of the project templates before (or beside) the program's own calculation.

Reads the same sources as the data generator (reference CSVs, template CSVs) and mirrors the
calculation for the figures the templates must get right: biogas and methane against
yield x organic dry matter, CHP efficiency, installed power, investment of the CHP case,
yearly result, simple payback time and net present value of the CHP cases. The subsidy rule
parameters it needs are estimates written below (the shipped rule files are checked by
`fermalux-cli calc`, which is the reference); the net present value is an approximation of the
program's yearly projection. Not run by the build.
Run: python3 data/sources/tools/check_templates.py [template name ...]
"""
import csv, glob, math, os, sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.dirname(HERE)

# Estimated 2011 rule parameters (only for this check).
RULES = {
    "Germany": dict(bands=[(150, 11.44 + 6.86, 3.92, 0.98), (500, 9.00 + 6.86, 0.98, 0.98),
                           (5000, 8.09 + 3.92, 0, 0), (20000, 7.63, 0, 0)], chp=2.94, compl=True),
    "Netherlands": dict(years=12, compl=False),
    "Wallons": dict(CEref=0.55, CThref=0.9, CO2ref=251, T100=15, TTotal=15, CorrGC=100, compl=False),
    "Poland": dict(effE=0.42, effT=0.70, crit=1000, violet=10, yellow=0, compl=False),
    "Italy": dict(small=0.28, large=0.23, psmall=15, plarge=15, compl=True),
    "Estonia": dict(basic=40, young=10, lfa=10, maxinv=1000000, elec=0.0537, telec=12, compl=False),
}


def rows(path):
    with open(path, encoding="utf-8") as f:
        lines = [l for l in f if l.strip() and not l.startswith("#")]
    return list(csv.DictReader(lines))


def settings(path, into):
    for r in rows(path):
        into[r["path"]] = r["text"]


def num(d, key, default=0.0):
    v = d.get(key, "")
    if v in ("", None):
        return default
    if v in ("Yes", "No"):
        return 1.0 if v == "Yes" else 0.0
    return float(v)


def ru(x):
    t = math.trunc(x)
    return int(t + (1 if x > t else -1 if x < t else 0))


DEFAULTS = {  # schema defaults the templates rely on
    "BiomassIn.trt_user": "40", "BiomassIn.Digester_type": "1",
    "EnergyIn.Apply_heat": "No", "EnergyIn.Lheatdeliv": "250", "EnergyIn.Apply_biogasnet": "Yes",
    "EnergyIn.HeatNetwork_Complex": "50", "EnergyIn.Apply_doubleconnect_elec": "Yes",
    "EnergyIn.Lfeed_elec": "1000", "EnergyIn.Apply_upgrade": "Yes", "EnergyIn.PRESS_feed_gas": "8",
    "EnergyIn.n_engine": "1", "InstallationIn.Apply_past": "No", "InstallationIn.Apply_torch": "Yes",
    "InstallationIn.land_c1_user": "55000", "InstallationIn.tdepr": "12",
    "StorageIn.Cosub_liq_Tstor_user": "1", "StorageIn.Cosub_liq_StorType_user": "2",
    "StorageIn.Cosub_sol_Tstor_user": "6", "StorageIn.Cosub_sol_StorType_user": "5",
    "StorageIn.Man_liq_Tstor_user": "1", "StorageIn.Man_liq_StorType_user": "1",
    "StorageIn.Man_liq_Vstor_avail_user": "1000",
    "StorageIn.Man_sol_Tstor_user": "1", "StorageIn.Man_sol_StorType_user": "5",
    "StorageIn.Dig_Tstor_user": "3", "StorageIn.Dig_StorType_user": "1",
    "ExploitationIn.biomass_relcost_dig": "15", "ExploitationIn.energy_use_relcost_elec": "0.1",
    "ExploitationIn.energy_use_relcost_therm": "7", "ExploitationIn.energy_use_relcost_diesel": "1.1",
    "ExploitationIn.energy_production_relpriceelec": "0.5",
    "ExploitationIn.financial_aspects_perinterest": "6", "ExploitationIn.financial_aspects_perequity": "20",
    "ExploitationIn.financial_aspects_apply_subsidy": "Yes", "CashflowIn.Tax_on_profit": "25",
}
STOR = {"Concrete": 1, "Stainless steel": 2, "Bag": 3, "Plastic": 4, "Trench": 5}
COUNTRY = {"None": 1, "Germany": 2, "Netherlands": 3, "Flanders": 4, "Wallons": 5, "Poland": 6,
           "Italy": 7, "Estonia": 8}


def load(template):
    ref = os.path.join(SRC, "reference")
    subs = {}
    for name, typecol in (("AdmSubstrateManureList", "AdmSubManureType_i"),
                          ("AdmSubstrateCosubList", "AdmSubCosubType_i")):
        for r in rows(os.path.join(ref, name + ".csv")):
            subs[r["AdmName"]] = {k[3:]: (float(v) if k not in ("AdmName", typecol) else v)
                                  for k, v in r.items() if k.startswith("Adm")}
    pcon = [{k.replace("AdmPconnect_", ""): float(v) for k, v in r.items() if k.startswith("Adm")}
            for r in rows(os.path.join(ref, "AdmPconnectList.csv"))]
    s = dict(DEFAULTS)
    settings(os.path.join(ref, "admin.csv"), s)
    tdir = os.path.join(SRC, "templates")
    settings(os.path.join(tdir, template + ".csv"), s)
    mix = []
    for kind, refcol in (("SubstrateManureList", "SubstrateManureAdmRef"),
                         ("SubstrateCosubList", "SubstrateCosubAdmRef")):
        p = os.path.join(tdir, f"{template}.{kind}.csv")
        if os.path.exists(p):
            for r in rows(p):
                mix.append((subs[r[refcol]], float(r["Msub_i"]), float(r.get("Relcost_i") or 0)))
    return subs, pcon, s, mix


def calc(template):
    subs, pcon, s, mix = load(template)
    A = {k.split(".")[-1][3:]: float(v) for k, v in s.items() if k.startswith("AdminVars.")}
    g = lambda k, d=0.0: num(s, k, d)
    country = COUNTRY[s.get("ExploitationIn.financial_aspects_country", "None")]
    f = 1.0 / g("ExploitationIn.financial_aspects_convpln") if country == 6 else 1.0
    trt = g("BiomassIn.trt_user")
    # substrates
    M = odm = G = CH4 = Vin = DM = 0.0
    G_plain = CH4_plain = 0.0
    cost_bio = 0.0
    vols = {"Liquid manure": 0, "Solid manure": 0, "Liquid co-substrate": 0, "Solid co-substrate": 0}
    for sub, m, c in mix:
        x = min(trt - sub["T_RT_recom"], 20)
        t = 40 + x
        rt = -0.0001 * t * t + 0.0126 * t + 0.6549
        o = m * sub["ODM"] / 100
        pot = o * sub["BiogasProd"]
        M += m; odm += o; G += pot * rt; CH4 += pot * rt * sub["CH4"] / 100
        G_plain += pot; CH4_plain += pot * sub["CH4"] / 100
        Vin += m / sub["REL_dens_i"]; DM += m * sub["DM"] / 100
        cost_bio += m * c * f
        t_ = sub.get("SubManureType_i") or sub.get("SubCosubType_i")
        vols[t_] += m / sub["REL_dens_i"]
    share = CH4 / G
    Gm = (share * 0.00072 + (1 - share) * 0.001986) * G
    Mout = M - Gm
    Vout = Mout / A["REL_Dig_Dens"]
    DMout = DM - Gm
    Tchp = A["Tchp"]
    # CHP
    E = CH4 * 35.8
    Pf = E / (3.6 * Tchp)
    Pr = (g("EnergyIn.CFchp_extra") / 100 + 1) * Pf
    n = max(ru(Pr / A["C_chpFuelmax"]), g("EnergyIn.n_engine"))
    eta = (Pr / n) ** A["RATeffCHP_C2"] * A["RATeffCHP_C1"]
    eta_th = A["RATeffCHP_C3"] - eta
    Pe = eta * Pr / n
    Eel = E * eta / 3.6
    H = E * eta_th
    Pavg = eta * Pf
    infl = lambda by: (1 + A["PERInflation"] / 100) ** (2011 - by)
    # storage
    def need(grp, V):
        return max(g(f"StorageIn.{grp}_Tstor_user") / 12 * V - g(f"StorageIn.{grp}_Vstor_avail_user"), 0)
    needs = {"Cosub_liq": need("Cosub_liq", vols["Liquid co-substrate"]),
             "Cosub_sol": need("Cosub_sol", vols["Solid co-substrate"]),
             "Man_liq": need("Man_liq", vols["Liquid manure"]),
             "Man_sol": need("Man_sol", vols["Solid manure"])}
    dig_store = g("StorageIn.Dig_Tstor_user") / 12 * Vout / A["REL_Dig_Dens"]
    Vdig = (Vin + Vout) / 2 * trt / 365
    def stor_cost(typ, V):
        if V <= 0: return 0
        if typ == 1: raw, by = V ** A["C3_Concrete"] * A["C2_Concrete"] + A["C1_Concrete"], A["BY_Concrete"]
        elif typ == 2: raw, by = A["C2_Steel"] * V + A["C1_Steel"], A["BY_Steel"]
        elif typ == 3: raw, by = A["C1_Bag"] * V + A["C2_Bag"], A["BY_Bag"]
        elif typ == 4:
            k = ru(V / A["C3_Polyester"]); raw, by = ((V / k) * A["C2_Polyester"] + A["C1_Polyester"]) * k, A["BY_Polyester"]
        else: raw, by = A["C2_Trench"] * V + A["C1_Trench"], A["BY_Trench"]
        return max(raw, 0) * infl(by)
    st = lambda grp: STOR[s[f"StorageIn.{grp}_StorType_user"]] if not s[f"StorageIn.{grp}_StorType_user"].isdigit() else int(s[f"StorageIn.{grp}_StorType_user"])
    storage = sum(stor_cost(st(k), v) for k, v in needs.items()) + stor_cost(st("Dig"), dig_store)
    Vsp = sum(v for k, v in needs.items() if st(k) in (2, 4)) + (dig_store if st("Dig") in (2, 4) else 0)
    Vc = sum(v for k, v in needs.items() if st(k) == 1) + (dig_store if st("Dig") == 1 else 0)
    S = (((dig_store + needs["Man_liq"]) / 3700) * 961 + (Vdig / 2500) * 784 + needs["Cosub_sol"] / 4) * 1.15
    # digester
    typ = int(g("BiomassIn.Digester_type")) if s["BiomassIn.Digester_type"].isdigit() else (1 if s["BiomassIn.Digester_type"].startswith("Cont") else 2)
    Tdig = A["TEMPmesophilic"]
    if typ == 1:
        raw = max(Vdig ** A["C3_Digester_A"] * A["C2_Digester_A"] + A["C1_Digester_A"], 100000)
        dig = raw * infl(A["BY_Digester_A"]); maint_dig = A["C11_Digester_A"] * dig; pers = M / A["C51_Digester_A"]
        HA = ((M * 1000 / 31536000) + Vdig * A["C_RhoDigestate"] * A["C21_Digester_A"] / 86400) * A["C_CpDigestate"] * (Tdig - A["TEMPaverage"]) * 8760 * 3.6
        c31, c32, c33, c34 = (A[f"C3{i}_Digester_A"] for i in (1, 2, 3, 4))
    else:
        raw = max(A["C2_Digester_B"] * M + A["C1_Digester_B"], 610000)
        dig = raw * infl(A["BY_Digester_B"]); maint_dig = A["C11_Digester_B"] * dig; pers = M / A["C51_Digester_B"]
        HA = A["C21_Digester_B"] * E
        c31, c32, c33, c34 = (A[f"C3{i}_Digester_B"] for i in (1, 2, 3, 4))
    EA = (A["RATeffElecStorage"] * 8760 * (c31 * Vsp + c32 * Vc) + A["RATeffElecDigester"] * Tchp * c33 * M
          + HA * 9.81 * A["Ch_heating_digester"] / (1000 * 3.6 * A["Effpump"] * 4.2 * A["C_dTdigesterHeating"])
          + A["RATeffElecDigester"] * 8760 * c34 * Vdig)
    # pasteurisation
    past = HP = 0.0
    if g("InstallationIn.Apply_past"):
        mp = g("InstallationIn.mpast_user")
        past = ((A["C2_Past"] * mp) / (Tchp * A["REL_Dig_Dens"]) + A["C1_Past"]) * A["C3_Past"] * infl(A["BY_Past"])
        if s.get("InstallationIn.Past_Feed", "Treat digestate") in ("1", "Treat digestate"):
            HP = mp * A["C_CpDigestate"] * (A["TEMPpasteurisation"] - A["TEMPaverage"]) * (1 - A["RATeff_past"]) / A["RATeff_past"]
        else:
            HP = mp * A["C_CpDigestate"] * (A["TEMPpasteurisation"] - Tdig) / A["RATeff_past"]
    torch = 0.0; maint_torch = 0.0
    if g("InstallationIn.Apply_torch"):
        torch = max((G / Tchp - A["C3_Torch"]) * A["C2_Torch"] + A["C1_Torch"], 0) * infl(A["BY_Torch"])
        maint_torch = torch * A["C11_Torch"]
    # heat network
    apply_heat, biogasnet = g("EnergyIn.Apply_heat"), g("EnergyIn.Apply_biogasnet")
    dh = 2000 * math.sqrt(g("EnergyIn.Pheatdeliv_peak") / (A["C_RhoDigestate"] * A["C_CpDigestate"] * 1.5 * math.pi * g("EnergyIn.Heatnetwork_dT")))
    L = g("EnergyIn.Lheatdeliv")
    sN = 1 if apply_heat and not biogasnet else 0
    heatnet = max(math.exp(A["C3_HeatNetwork"] * dh) * (A["C2_HeatNetwork"] * g("EnergyIn.HeatNetwork_Complex") / 100 + A["C1_HeatNetwork"]) * sN * L, 0) * infl(A["BY_HeatNetwork"])
    HN = (A["C24_HeatNetwork"] * dh ** 3 + A["C23_HeatNetwork"] * dh ** 2 + A["C22_HeatNetwork"] * dh + A["C21_HeatNetwork"]) * sN * L * Tchp * 3.6
    H1 = HA + HP
    H2 = H1 + HN
    s2 = biogasnet * H2 / E
    s3 = H1 / E
    # CHP cost
    def chp_cost(p):
        return p ** A["C2_CHP"] * n * A["C1_CHP"]
    def chp_maint(p):
        return ((A["C13_CHP"] * p + A["C14_CHP"]) / (p ** A["C16_CHP"] * A["C15_CHP"]) + p ** A["C12_CHP"] * A["C11_CHP"]) * n * Tchp if p > 0 else 0
    chp1 = max(chp_cost(Pe), 27000) * infl(A["BY_CHP"])
    chp2 = chp_cost((1 - s2) * Pe) * infl(A["BY_CHP"])
    shovel = A["C1_Shovel"] * M * infl(A["BY_Shovel"]); maint_shovel = shovel * A["C11_Shovel"]
    land = S * g("InstallationIn.land_c1_user") * f / 10000
    hall = g("InstallationIn.a_hall_user")
    civil = (A["C1_Civil"] * hall + 0.1 * S * A["C2_Civil"] + (Vdig + needs["Man_liq"] + dig_store) * A["C3_Civil"] / 12) * infl(A["BY_Civil"])
    # electricity use and grid
    U1 = EA
    def pclass(p):
        for c in pcon[:5]:
            if c["KW"] > p: return c
        return pcon[5]
    cin = infl(pcon[0]["year_of_data"])
    cf = pclass(Pavg)
    feed_inv = (cf["INVnetwork_elec"] * g("EnergyIn.Lfeed_elec") + cf["INVconnect_elec"]) * cin
    feed_year = cf["COSTgridconnect"] + cf["COSTtransport"]
    cc = pclass(U1 / 8760)
    sd = g("EnergyIn.Apply_doubleconnect_elec")
    cons_inv = (cc["INVnetwork_elec"] * g("EnergyIn.Lconsume_elec") + cc["INVconnect_elec"]) * sd * cin
    cons_year = ((cc["COSTgridconnect"] + cc["COSTtransport"]) + (cc["COSTelec_service"] + cc["COSTelec_expl"]) * U1 / 8760) * sd
    res = {}
    for case, chp, Hc, s2c in (("chp", chp1, H1, 0.0), ("chp_heat", chp2, H2, s2)):
        B = dig + storage + torch + past + shovel + civil + chp + feed_inv + cons_inv + g("InstallationIn.INVuser_amount") * f
        if case == "chp_heat": B += heatnet
        Adv = A["C2_PERadvise"] * B + A["C1_PERadvise"]
        Ec = (A["C1_PERengineering"] + A["C2_PERinspection"] * M + A["C1_PERinspection"] + A["C1_PERcontractorfee"]) * B / 100
        T = land + Adv + (B + Ec) * 100 / (100 - A["C1_PERcontingency"] - A["C1_PERstartup"])
        K = (T - Adv - land) * A["C1_PERcontingency"] / 100
        St = (T - Adv - land) * A["C1_PERstartup"] / 100
        D = B + Ec + K
        res[case] = dict(T=T, D=D, Adv=Adv, St=St, land=land, B=B)
        heat_bought = max(Hc - (1 - s2c) * H if case == "chp_heat" else Hc - H, 0)
        res[case].update(
            biomass=cost_bio, elec=U1 * g("ExploitationIn.energy_use_relcost_elec") * f,
            heat=heat_bought * g("ExploitationIn.energy_use_relcost_therm") * f / 1000,
            diesel=A["C41_Shovel"] * M * g("ExploitationIn.energy_use_relcost_diesel") * f,
            maint=maint_dig + maint_torch + (chp_maint(Pe) if case == "chp" else chp_maint((1 - s2c) * Pe)) + feed_year + cons_year + maint_shovel,
            pers=pers * 52 * g("ExploitationIn.financial_aspects_relperscost") * f,
            dig=Vout * g("ExploitationIn.biomass_relcost_dig") * f if not g("InstallationIn.Apply_sep") else float("nan"),
            costuser=g("ExploitationIn.financial_aspects_costuser_amount") * f)
    # heat sold
    Dh = (g("ExploitationIn.energy_use_ptherm_intdemand_user") + g("EnergyIn.Pheatdeliv_average")) * 8760 * 3.6
    a = (1 - s2) * H - H2
    heat_sold = Dh if a > Dh else (a if a > 0 else 0)
    # subsidy streams (estimated rules) and revenues
    pel = g("ExploitationIn.energy_production_relpriceelec") * f
    ptherm = g("ExploitationIn.energy_production_relpricetherm") * f
    apply = g("ExploitationIn.financial_aspects_apply_subsidy")
    name = [k for k, v in COUNTRY.items() if v == country][0]
    R1p, R2p, R1q, compl, factors, factors2 = 0.0, 0.0, 0.0, False, [0] * 20, [0] * 20
    invsub = 0.0
    if apply and country != 1:
        r = RULES[name]; compl = r["compl"]
        if country == 2:
            P = Pavg; b = r["bands"]; lims = [x[0] for x in b]
            aa = 1 if P < lims[0] else lims[0] / P
            bb = 0 if P <= lims[0] else (1 - aa if P <= lims[1] else (lims[1] - lims[0]) / P)
            cc_ = 0 if P <= lims[1] else (1 - aa - bb if P <= lims[2] else (lims[2] - lims[1]) / P)
            dd = 0 if P <= lims[2] else 1 - aa - bb - cc_
            fee = lambda i: b[i][1] + g("SubsidyIn.SubGerApplyManure", 1) * b[i][2] + g("SubsidyIn.SubGerApplyFormaldehyde", 1) * b[i][3]
            R1p = (fee(0) * aa + fee(1) * bb + fee(2) * cc_ + fee(3) * dd + g("SubsidyIn.SubGerApplyCHP", 1) * r["chp"]) / 100
            R1q = Eel; factors = [1] * 20
        elif country == 3:
            R1p = g("SubsidyIn.SubNetElec"); R1q = Eel - U1; factors = [1 if y < r["years"] else 0 for y in range(20)]
            factors2 = factors
        elif country == 5:
            rr = sum(m * sub["REL_redCDE"] for sub, m, c in mix) / M
            k = ((r["CO2ref"] / r["CEref"]) + (heat_sold / E) / eta * (r["CO2ref"] / r["CThref"]) - rr / eta) / (r["CO2ref"] / r["CEref"])
            R1p = k * g("SubsidyIn.SubWalGreenPrice") / 1000; R1q = Eel - U1
            factors = [1 if y < r["T100"] else (r["CorrGC"] / 100 if y < r["TTotal"] else 0) for y in range(20)]
            res["k_wal"] = k
        elif country == 6:
            conv = g("ExploitationIn.financial_aspects_convpln")
            PES = (1 - 1 / (eta / r["effE"] + eta_th / r["effT"])) * 100
            R1p = g("SubsidyIn.SubPolGreenPrice") / conv / 1000; R1q = Eel
            factors = [1 if y < g("SubsidyIn.SubPolGreenDuration") else 0 for y in range(20)]
            viol = Pavg >= r["crit"] and PES >= r["violet"]; yel = Pavg < r["crit"] and PES > r["yellow"]
            R2p = (viol * g("SubsidyIn.SubPolVioletPrice") + yel * g("SubsidyIn.SubPolYellowPrice")) / conv / 1000
            tv = viol * g("SubsidyIn.SubPolVioletDuration") + yel * g("SubsidyIn.SubPolYellowDuration")
            factors2 = [1 if y < tv else 0 for y in range(20)]
            res["PES"] = PES
        elif country == 7:
            small = Pavg < 1000
            R1p = r["small"] if small else r["large"]; R1q = Eel
            per = r["psmall"] if small else r["plarge"]; factors = [1 if y < per else 0 for y in range(20)]
        elif country == 8:
            R1p = r["elec"]; R1q = Eel; factors = [1 if y < r["telec"] else 0 for y in range(20)]
    for case in ("chp", "chp_heat"):
        c = res[case]
        s2c = s2 if case == "chp_heat" else 0
        Rv = Eel * pel * (1 - s2c)
        Rh = heat_sold * ptherm / 1000 if case == "chp_heat" else 0
        q = R1q * (1 - s2c)
        Ssub = (R1p * factors[0] + R2p * factors2[0]) * q
        if compl:
            Ssub = Ssub - Rv if Ssub - q * pel > 0 else 0
        Sub_inv = 0.0
        if apply and country == 6:
            conv = g("ExploitationIn.financial_aspects_convpln")
            X = (c["T"] - c["St"]) * g("SubsidyIn.SubPolInvPer") / 100 * conv
            Y = max(g("SubsidyIn.SubPolInv"), X)
            mn, mx = g("SubsidyIn.SubPolInvMin"), g("SubsidyIn.SubPolInvMax")
            Sub_inv = (mn if Y < mn else mx if Y > mx else Y) / conv
        if apply and country == 8:
            r = RULES["Estonia"]
            p = r["basic"] + g("SubsidyIn.SubEstApplyYoung", 1) * r["young"] + g("SubsidyIn.SubEstApplyLessFavArea", 1) * r["lfa"]
            Sub_inv = min(p / 100 * (c["B"] + c["land"]), r["maxinv"])
        c["Sub"] = Sub_inv
        inc = Rv + Rh + Ssub
        # financing
        i = g("ExploitationIn.financial_aspects_perinterest") / 100
        tloan = g("ExploitationIn.financial_aspects_tloan")
        eq = g("ExploitationIn.financial_aspects_perequity") / 100
        W = g("ExploitationIn.financial_aspects_perworkcapital") / 100 * c["T"]
        bp = g("ExploitationIn.subsidy_building_period")
        p = [g(f"ExploitationIn.subsidy_perpayment{j}") / 100 for j in (1, 2, 3)]
        mo = [g(f"ExploitationIn.subsidy_perpayperiod{j}") for j in (1, 2, 3)]
        base = [c["land"] + c["Adv"] + c["D"] * p[0], c["D"] * p[1], c["D"] * p[2]]
        Ic = sum(base[j] * (1 - eq) * (i / 12) * ((100 - mo[j]) * bp / 100) for j in range(3))
        F = c["T"] + W + Ic - Sub_inv
        Eq = eq * F; Ln = F - Eq
        An = Ln * i / (1 - (1 + i) ** (-tloan))
        Ins = A["PERinsur"] / 100 * F
        tdepr = g("InstallationIn.tdepr")
        dep = (c["D"] - Sub_inv) / tdepr
        invest = c["T"] - Sub_inv  # total investment of the case after the investment subsidy
        # projection (equity cash flow and present value)
        ncf = int(g("CashflowIn.Tcashflow"))
        escE = g("CashflowIn.PERescEnergy") / 100; infl_ = g("CashflowIn.PERinfl") / 100
        escB = g("CashflowIn.PERescBiomass") / 100; escD = g("CashflowIn.PERescDigBiomass") / 100
        tax = g("CashflowIn.Tax_on_profit") / 100
        loan = Ln; cum = 0.0; npv = 0.0; interest_total = Ic
        # year -1 and 0
        cf_m1 = 0.0  # cas_res_cashflow of year -1: incomes and expenses are 0
        cf0 = (Sub_inv + Ln) - (c["D"] + c["land"] + c["Adv"] + W + Ic + 0)  # material + stock + interest
        # year 0 result: -(advise written off + construction interest)
        res0 = -(c["Adv"] + Ic)
        cum = res0
        tax0 = 0.0
        cf0 -= tax0
        npv = cf_m1 + cf0
        prev_cum = cum
        rev = Rv + Rh; costs = dict(bio=c["biomass"], dig=c["dig"], el=c["elec"], th=c["heat"], di=c["diesel"],
                                    pe=c["pers"], ins=Ins, ma=c["maint"], cu=c["costuser"])
        for y in range(1, 21):
            if y > ncf:
                break
            gE = (1 + escE) ** (y - 1); gI = (1 + infl_) ** (y - 1); gB = (1 + escB) ** (y - 1); gD = (1 + escD) ** (y - 1)
            sub_y = (R1p * factors[y - 1] + R2p * factors2[y - 1]) * q
            if compl: sub_y -= gE * q * pel
            revenue = rev * gE + sub_y
            opex = (costs["bio"] * gB + costs["dig"] * gD + (costs["el"] + costs["th"] + costs["di"]) * gE
                    + (costs["pe"] + costs["ins"] + costs["ma"] + costs["cu"]) * gI)
            interest = i * loan if y <= tloan else 0
            interest_total += interest
            amort = An - interest if y <= tloan else 0
            deprec = dep if y <= tdepr else 0
            result = revenue - opex - deprec - interest - (c["St"] if y == 1 else 0)
            cum_new = cum + result
            t_y = 0 if cum_new <= 0 else (result * tax if cum > 0 else cum_new * tax)
            cum = cum_new
            loan = loan - An + interest if y <= tloan else 0
            cash = revenue - opex - interest - amort - t_y - (c["St"] if y == 1 else 0) + (c["land"] + W if y == ncf else 0)
            npv += cash / (1 + (i * 100 - infl_ * 100) / 100) ** y
        cof = interest_total / tloan
        out_total = (invest - c["land"]) / tdepr + cof + c["biomass"] + c["maint"] + c["elec"] + c["heat"] + c["diesel"] + c["pers"] + Ins + c["dig"] + c["costuser"]
        profit = inc - out_total
        dep_avg = (invest - c["land"]) / tdepr
        pb = invest / (profit + dep_avg) if profit + dep_avg > 0 else 999.9
        c.update(invest=invest, income=inc, out_total=out_total, profit=profit, payback=pb, npv=npv,
                 R1p=R1p, sub_year1=Ssub)
    return dict(G=G, CH4=CH4, G_plain=G_plain, CH4_plain=CH4_plain, M=M, eta=eta, Pe=Pe, n=n, Pinst=n * Pe,
                Eel=Eel, U1=U1, Vdig=Vdig, H1=H1, H=H, heat_sold=heat_sold, s2=s2, res=res, load=odm * 1000 / (M * trt),
                dmin=100 * DM / M)


def report(t):
    r = calc(t)
    print(f"== {t}")
    print(f"   input {r['M']:.0f} t/a, DM {r['dmin']:.1f} %, load {r['load']:.2f} kg ODM/m3/d, digester {r['Vdig']:.0f} m3")
    print(f"   biogas {r['G']:.0f} Nm3 ({100*(r['G']/r['G_plain']-1):+.1f} % vs yield x ODM), methane {r['CH4']:.0f} ({100*(r['CH4']/r['CH4_plain']-1):+.1f} %)")
    print(f"   CHP {r['n']:.0f} x {r['Pe']:.0f} kWe, eta_el {100*r['eta']:.1f} %, own electricity {100*r['U1']/r['Eel']:.1f} %, process heat {100*r['H1']/r['H']:.0f} % of CHP heat, heat sold {r['heat_sold']/1000:.0f} GJ")
    for case in ("chp", "chp_heat"):
        c = r["res"][case]
        print(f"   {case:8s}: investment {c['invest']:10.0f} EUR = {c['invest']/r['Pinst']:5.0f} EUR/kWe; income {c['income']:8.0f}, costs {c['out_total']:8.0f}, "
              f"profit {c['profit']:8.0f}, payback {c['payback']:5.1f} a, NPV {c['npv']:10.0f}, tariff {100*c['R1p']:.1f} ct")


if __name__ == "__main__":
    names = sys.argv[1:] or sorted(os.path.basename(p)[:-4] for p in glob.glob(os.path.join(SRC, "templates", "*.csv"))
                                   if p.count(".") == 1 or not (p.endswith("List.csv")))
    for t in names:
        report(t)
