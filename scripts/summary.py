#!/usr/bin/env python3
"""Prints the summary of one calculation read from the result files of a root."""
import pathlib
import sys


def numbers(path):
    """The first value of every record of a result or exchange file."""
    values = []
    for line in path.read_text(encoding="ascii", errors="replace").splitlines():
        fields = line.replace(",", " ").split()
        if fields:
            values.append(float(fields[0]))
    return values


def main(root):
    root = pathlib.Path(root)
    exchange = root / "PULT_na_vypocty"
    inflow = numbers(exchange / "IN_FLOOD_WAVE")[: int(numbers(exchange / "IN_NUMBER_OF_POINT_FW")[0])]
    outflow = numbers(root / "OUT_RESULT" / "transformovana_povoden")
    level = numbers(root / "OUT_RESULT" / "vyska_vody")
    crest = numbers(exchange / "IN_START_RN_OWERFLOW")[0]
    retention = numbers(exchange / "IN_TOTAL_HEIGHT_OWERFLOW")[0]
    if not outflow:
        print("Vysledkove soubory jsou prazdne: vypocet neprobehl.")
        return 1
    i_in = max(range(len(inflow)), key=lambda i: inflow[i])
    i_out = max(range(len(outflow)), key=lambda i: outflow[i])
    i_h = max(range(len(level)), key=lambda i: level[i])
    top = crest + retention
    print(f"Kroků výpočtu:              {len(outflow)} (z {len(inflow)} hodnot přítoku)")
    print(f"Kulminace přítoku:          {inflow[i_in]:9.3f} m3/s v kroku {i_in + 1}")
    print(f"Kulminace odtoku:           {outflow[i_out]:9.3f} m3/s v kroku {i_out + 1}")
    print(f"Transformace kulminace:     {100.0 * (1.0 - outflow[i_out] / inflow[i_in]):9.1f} %")
    print(f"Nejvyšší hladina:           {level[i_h]:9.3f} m nade dnem v kroku {i_h + 1}")
    print(f"Rezerva do přelití nádrže:  {top - level[i_h]:9.3f} m (přelití při {top:.3f} m)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path.home() / "VELDRON"))
