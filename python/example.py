# SPDX-License-Identifier: MIT
"""Plots the scatter spectra of the default primary spectrum at 30, 90 and 150 degrees."""

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt

import xscatter

spectrum = xscatter.primary(100)
print(spectrum.quality())
for angle, colour in ((30, "tab:red"), (90, "tab:green"), (150, "tab:blue")):
    scatter = spectrum.scatter(angle)
    print(scatter.figures())
    scattered = scatter.incoherent_energy > 0
    plt.plot(scatter.incoherent_energy[scattered], scatter.incoherent[scattered], color=colour,
             label=f"Compton {angle}°")
    plt.plot(scatter.energy, scatter.coherent, color=colour, linestyle="--",
             label=f"Rayleigh {angle}°")
plt.xlim(0, 100)
plt.xlabel("photon energy (keV)")
plt.ylabel("relative fluence")
plt.legend()
plt.savefig("scatter.png", dpi=120)
