# SPDX-License-Identifier: MIT
"""The module as a package: version, documentation, where its tables come from, threads."""

import os
import shutil
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy
import pytest

import xscatter


def test_version_is_the_projects():
    assert xscatter.__version__ == os.environ["XSCATTER_VERSION"]


def test_everything_public_is_documented():
    for name in (
        "Tables", "default_tables", "primary", "Spectrum", "Scatter", "TableError", "MatchError"
    ):
        assert len(getattr(xscatter, name).__doc__.strip()) > 40, name
    for name in ("scatter", "quality", "from_arrays", "write", "fluence", "bin_count", "conditions"):
        assert len(getattr(xscatter.Spectrum, name).__doc__.strip()) > 20, name
    for name in ("figures", "write", "incoherent_photons", "angle"):
        assert len(getattr(xscatter.Scatter, name).__doc__.strip()) > 20, name
    doc = xscatter.primary.__doc__
    assert doc.startswith("primary(kv: float, target_angle: float = 12.0, inherent: float = 2.5")
    for argument in (
        "kv:", "target_angle:", "inherent:", "al, cu:", "filters:", "tables:", "match_hvl:"
    ):
        assert "\n" + argument in doc


def test_bins_and_energies(tables):
    spectrum = xscatter.primary(100, tables=tables)
    assert numpy.array_equal(spectrum.energy, 0.5 * numpy.arange(1, 301))
    scatter = spectrum.scatter(90)
    assert numpy.array_equal(scatter.energy, spectrum.energy)
    # Bins below 8 keV are never scattered.
    assert not scatter.incoherent_energy[:15].any() and scatter.incoherent_energy[15] > 0


@pytest.mark.parametrize("kv,angle", [(100, 90), (150, 30), (40, 175)])
def test_incoherent_photons_are_the_fluence_before_the_per_half_kev_step(tables, kv, angle):
    scatter = xscatter.primary(kv, tables=tables).scatter(angle)
    photons, energy = scatter.incoherent_photons, scatter.incoherent_energy
    last = 2 * kv - 1  # index of the last bin of the spectrum
    assert (photons[15 : last + 1] > 0).all()
    assert not photons[:15].any() and not photons[last + 1 :].any()
    # Each bin below the last is divided by its scattered-energy width over 0.5 keV; the last one,
    # without a neighbour above, stays as it is.
    width = (energy[16 : last + 1] - energy[15:last]) / 0.5
    numpy.testing.assert_allclose(scatter.incoherent[15:last], photons[15:last] / width, rtol=1e-13)
    assert scatter.incoherent[last] == photons[last]


def test_default_tables_are_the_source_trees_in_the_build_folder(data_folder):
    default = xscatter.default_tables()
    assert default.folder.resolve() == data_folder.resolve()
    assert xscatter.default_tables() is default
    assert xscatter.primary(100).bin_count == 200


def test_installed_module_reads_the_tables_of_its_prefix(data_folder, tmp_path):
    site = tmp_path / "usr" / "lib" / "python3" / "dist-packages"
    site.mkdir(parents=True)
    shutil.copy2(xscatter.__file__, site)
    shutil.copytree(data_folder, tmp_path / "usr" / "share" / "xscatter" / "Data")
    script = (
        "import xscatter\n"
        "print(xscatter.default_tables().folder)\n"
        "print(xscatter.primary(40).bin_count)\n"
    )
    env = dict(os.environ, PYTHONPATH=str(site))
    result = subprocess.run(
        [sys.executable, "-c", script],
        cwd=tmp_path,
        env=env,
        capture_output=True,
        text=True,
        timeout=120,
    )
    assert result.returncode == 0, result.stderr
    installed = tmp_path / "usr" / "share" / "xscatter" / "Data"
    assert result.stdout.splitlines() == [str(installed), "80"]


def test_installed_module_without_its_tables_names_the_folder(tmp_path):
    site = tmp_path / "lib" / "python3" / "dist-packages"
    site.mkdir(parents=True)
    shutil.copy2(xscatter.__file__, site)
    script = "import xscatter; xscatter.primary(100)"
    env = dict(os.environ, PYTHONPATH=str(site))
    result = subprocess.run(
        [sys.executable, "-c", script],
        cwd=tmp_path,
        env=env,
        capture_output=True,
        text=True,
        timeout=120,
    )
    assert result.returncode == 1
    assert "xscatter.TableError" in result.stderr
    assert str(tmp_path / "share" / "xscatter" / "Data") in result.stderr


def test_spectra_computed_in_threads_equal_those_computed_one_by_one(tables):
    conditions = [(kv, angle) for kv in (40, 70, 100, 150) for angle in (20, 90, 160)]

    def run(case):
        kv, angle = case
        scatter = xscatter.primary(kv, tables=tables).scatter(angle)
        return scatter.incoherent.copy(), scatter.coherent.copy()

    serial = [run(case) for case in conditions]
    with ThreadPoolExecutor(max_workers=4) as pool:
        threaded = list(pool.map(run, conditions * 2))
    for (a_inc, a_coh), (b_inc, b_coh) in zip(serial * 2, threaded):
        assert numpy.array_equal(a_inc, b_inc) and numpy.array_equal(a_coh, b_coh)


def test_the_example_in_the_readme_runs(tmp_path):
    example = Path(__file__).parent.parent / "example.py"
    readme = (Path(__file__).parent.parent.parent / "README.md").read_text()
    assert example.read_text().split('"""\n\n', 1)[1] in readme
    pytest.importorskip("matplotlib")
    env = dict(os.environ, PYTHONPATH=str(Path(xscatter.__file__).parent))
    result = subprocess.run(
        [sys.executable, str(example)],
        cwd=tmp_path,
        env=env,
        capture_output=True,
        text=True,
        timeout=300,
    )
    assert result.returncode == 0, result.stderr
    assert (tmp_path / "scatter.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    assert len(result.stdout.splitlines()) == 4
