#!/usr/bin/env python3
"""Writes data/glass.dat: each glass's refractive index at the eight line slots.

Most glasses' indices come from the maker's dispersion formula with the coefficients
written below; the few in MATCHED are fitted to their maker's catalogue nd and vd (see
there). The Sellmeier formula (wavelength L in micrometres) is

    n^2 - 1 = sum_k B_k L^2 / (L^2 - C_k)

with C_k in square micrometres, as the glass makers print it; the crystal data of
Malitson give sqrt(C_k), a resonance wavelength in micrometres, instead.

Run from anywhere:  python3 tools/make_glass_catalog.py
"""

import math
import pathlib

# Line slots 0..7: r, C, d, e, F, g, h, i (micrometres). Slots 1 to 6 are the lines the
# program traces; slots 0 and 7 travel with the data.
WAVELENGTHS_UM = (
    0.7065188,  # r  helium
    0.6562725,  # C  hydrogen
    0.5875618,  # d  helium
    0.5460740,  # e  mercury
    0.4861327,  # F  hydrogen
    0.4358343,  # g  mercury
    0.4046561,  # h  mercury
    0.3650146,  # i  mercury
)
SLOT_C, SLOT_D, SLOT_F = 1, 2, 4

# name: (B1, B2, B3, C1, C2, C3, catalogue nd, catalogue vd); C in square micrometres.
SELLMEIER = {
    # Schott optical glass data sheets (Schott AG, optical glass catalogue 2017).
    "N-BK7": (1.03961212, 0.231792344, 1.01046945,
              0.00600069867, 0.0200179144, 103.560653, 1.51680, 64.17),
    "N-K5": (1.08511833, 0.199562005, 0.930511663,
             0.00661099503, 0.024110866, 111.982777, 1.52249, 59.48),
    "N-BAK4": (1.28834642, 0.132817724, 0.945395373,
               0.00779980626, 0.0315631177, 105.965875, 1.56883, 55.98),
    "N-SK16": (1.34317774, 0.241144399, 0.994317969,
               0.00704687339, 0.0229005, 92.7508526, 1.62041, 60.32),
    "N-SSK8": (1.44857867, 0.117965926, 1.06937528,
               0.00869310149, 0.0421566593, 111.300666, 1.61773, 49.83),
    "N-LAK9": (1.46231905, 0.344399589, 1.15508372,
               0.00724270156, 0.0243353131, 85.4686868, 1.69100, 54.71),
    "F2": (1.34533359, 0.209073176, 0.937357162,
           0.00997743871, 0.0470450767, 111.886764, 1.62004, 36.37),
    "N-F2": (1.39757037, 0.159201403, 1.2686543,
             0.00995906143, 0.0546931752, 119.248346, 1.62005, 36.43),
    "N-SF2": (1.47343127, 0.163681849, 1.36920899,
              0.0109019098, 0.0585683687, 127.404933, 1.64769, 33.82),
    "N-SF5": (1.52481889, 0.187085527, 1.42729015,
              0.011254756, 0.0588995392, 129.141675, 1.67271, 32.25),
    "N-SF10": (1.62153902, 0.256287842, 1.64447552,
               0.0122241457, 0.0595736775, 147.468793, 1.72828, 28.53),
    "N-SF11": (1.73759695, 0.313747346, 1.89878101,
               0.013188707, 0.0623068142, 155.23629, 1.78472, 25.68),
    "N-KZFS4": (1.35055424, 0.197575506, 1.09962992,
                0.0087628207, 0.0371767201, 90.3866994, 1.61336, 44.49),
    "N-PK52A": (1.029607, 0.1880506, 0.736488165,
                0.00516800155, 0.0166658798, 138.964129, 1.49700, 81.61),
    # Ohara optical glass catalogue data sheets (Ohara Inc.).
    "S-BSL7": (1.15150190, 0.118583612, 1.26301359,
               0.0105984130, -0.0118225190, 129.617662, 1.51633, 64.14),
    "S-FPL53": (0.983532327, 0.0695688140, 1.11409238,
                0.00492234955, 0.0193581091, 264.275294, 1.43875, 94.93),
}

# Crystals, I. H. Malitson's measurements: name: (B1, B2, B3, lambda1, lambda2, lambda3
# in micrometres, reference nd, reference vd).
MALITSON = {
    # Calcium fluoride: Malitson, Applied Optics 2, 1103 (1963).
    "CAF2": (0.5675888, 0.4710914, 3.8484723,
             0.050263605, 0.1003909, 34.649040, 1.43385, 94.99),
    # Fused silica: Malitson, J. Opt. Soc. Am. 55, 1205 (1965).
    "SILICA": (0.6961663, 0.4079426, 0.8974794,
               0.0684043, 0.1162414, 9.896161, 1.45846, 67.82),
}

# Glasses whose maker's coefficients are not written here yet: the dispersion of a
# partner glass of the same family, scaled (n^2 - 1 = a * S(L) + b) so that nd and vd are
# exactly the maker's catalogue values. The other lines follow the partner's curve.
MATCHED = {
    # name: (partner, catalogue nd, catalogue vd)
    "S-FPL51": ("N-PK52A", 1.49700, 81.54),  # Ohara
    "FCD1": ("N-PK52A", 1.49700, 81.61),  # Hoya
    "S-FPL55": ("S-FPL53", 1.43875, 94.66),  # Ohara
    "FCD100": ("S-FPL53", 1.43700, 95.10),  # Hoya
}

CATALOGUE_ORDER = (
    "N-BK7", "N-K5", "N-BAK4", "N-SK16", "N-SSK8", "N-LAK9", "F2", "N-F2", "N-SF2",
    "N-SF5", "N-SF10", "N-SF11", "N-KZFS4", "N-PK52A", "S-BSL7", "S-FPL51", "S-FPL53",
    "S-FPL55", "FCD1", "FCD100", "CAF2", "SILICA",
)


def sellmeier_sum(b, c, wavelength_um):
    l2 = wavelength_um * wavelength_um
    return sum(bk * l2 / (l2 - ck) for bk, ck in zip(b, c))


def base_sum(name):
    """The Sellmeier sum S(L) of a glass with written coefficients, and its references."""
    if name in SELLMEIER:
        b1, b2, b3, c1, c2, c3, nd, vd = SELLMEIER[name]
        return (lambda w: sellmeier_sum((b1, b2, b3), (c1, c2, c3), w)), nd, vd
    b1, b2, b3, l1, l2, l3, nd, vd = MALITSON[name]
    return (lambda w: sellmeier_sum((b1, b2, b3), (l1 * l1, l2 * l2, l3 * l3), w)), nd, vd


def matched_sum(partner, nd, vd):
    """a * S(L) + b with nd and (nd - 1) / (nF - nC) equal to the catalogue values."""
    s, _, _ = base_sum(partner)
    sc, sd, sf = (s(WAVELENGTHS_UM[k]) for k in (SLOT_C, SLOT_D, SLOT_F))
    spread = (nd - 1.0) / vd  # nF - nC
    a, b = 1.0, 0.0
    for _ in range(50):
        nc = math.sqrt(1.0 + a * sc + b)
        nf = math.sqrt(1.0 + a * sf + b)
        # nF^2 - nC^2 = (nF - nC)(nF + nC), then nd fixes the offset.
        a = spread * (nf + nc) / (sf - sc)
        b = nd * nd - 1.0 - a * sd
    return lambda w: a * s(w) + b


def indices(name):
    if name in MATCHED:
        partner, nd, vd = MATCHED[name]
        s = matched_sum(partner, nd, vd)
    else:
        s, nd, vd = base_sum(name)
    return [math.sqrt(1.0 + s(w)) for w in WAVELENGTHS_UM], nd, vd


def main():
    lines = ["AIR" + " 1.000000" * len(WAVELENGTHS_UM)]
    report = []
    for name in CATALOGUE_ORDER:
        n, nd_ref, vd_ref = indices(name)
        lines.append(name + "".join(f" {v:.6f}" for v in n))
        vd = (n[SLOT_D] - 1.0) / (n[SLOT_F] - n[SLOT_C])
        report.append(f"{name:8s} nd {n[SLOT_D]:.6f} (catalogue {nd_ref:.5f}, "
                      f"{n[SLOT_D] - nd_ref:+.6f})  vd {vd:.2f} (catalogue {vd_ref:.2f}, "
                      f"{vd - vd_ref:+.2f})")
    out = pathlib.Path(__file__).resolve().parent.parent / "data" / "glass.dat"
    out.write_text("\n".join(lines) + "\n", encoding="ascii", newline="\n")
    print("\n".join(report))
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
