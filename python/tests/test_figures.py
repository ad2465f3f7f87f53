# SPDX-License-Identifier: MIT
"""Figures, filters and measured spectra, against values worked out from the tables by hand."""

import math

import numpy
import pytest

import xscatter


def table_columns(path, fields):
    """The given 1-based fields of every record of a comma-separated table, as arrays by bin."""
    records = [line.split(",") for line in path.read_text().splitlines() if line.strip()]
    return [numpy.array([float(r[f - 1]) for r in records]) for f in fields]


@pytest.fixture(scope="module")
def mu(data_folder):
    """Linear attenuation of the aluminium and copper of the model (Mus.dat), 1/cm, by bin."""
    al, cu = table_columns(data_folder / "Mus.dat", [3, 4])
    return dict(al=al, cu=cu)


def one_bin(tables, bin_index):
    """A spectrum that is 1 in one bin only."""
    e = 0.5 * bin_index
    return xscatter.Spectrum.from_arrays([e - 0.5, e, e + 0.5], [0, 1, 0], tables=tables)


@pytest.mark.parametrize("bin_index", [40, 100, 233])
def test_quality_of_a_single_energy(tables, mu, bin_index):
    # One energy: both mean energies are that energy, HVL1 = ln2/mu, the quarter-value layer is
    # twice that (so HVL2 = HVL1, homogeneity 1), and the effective energy is the energy itself.
    quality = one_bin(tables, bin_index).quality()
    assert quality["bin_count"] == bin_index
    energy = 0.5 * bin_index
    expected = dict(
        mean_energy_kev=energy,
        kerma_mean_energy_kev=energy,
        hvl1_mm_al=10 * math.log(2) / mu["al"][bin_index - 1],
        hvl2_mm_al=10 * math.log(2) / mu["al"][bin_index - 1],
        homogeneity_al=1,
        hvl1_mm_cu=10 * math.log(2) / mu["cu"][bin_index - 1],
        hvl2_mm_cu=10 * math.log(2) / mu["cu"][bin_index - 1],
        homogeneity_cu=1,
        effective_energy_kev_al=energy,
    )
    assert set(quality) == set(expected) | {"bin_count"}
    for key, value in expected.items():
        assert quality[key] == pytest.approx(value, rel=1e-8), key


@pytest.mark.parametrize("angle", [30, 90, 150])
def test_figures_of_a_single_energy(tables, mu, angle):
    spectrum = one_bin(tables, 100)
    scatter = spectrum.scatter(angle)
    figures = scatter.figures()
    theta = angle / 180 * 3.14159
    scattered = 50 / (1 + 50 / 511 * (1 - math.cos(theta)))
    n, c = scatter.incoherent_photons[99], scatter.coherent[99]
    assert scatter.incoherent_energy[99] == pytest.approx(scattered, rel=1e-12)
    assert figures["angle_deg"] == angle
    assert figures["incoherent_mean_energy_kev"] == pytest.approx(scattered, rel=1e-12)
    assert figures["coherent_mean_energy_kev"] == pytest.approx(50, rel=1e-12)
    assert figures["coherent_share"] == pytest.approx(c / (c + n), rel=1e-12)
    # Photons at 50 keV and at E' (attenuated as interpolated between bins j and j + 1 around
    # it): the HVL lies between the single-energy HVLs of those bins.
    j = int(2 * scattered)
    mus = [mu["al"][k - 1] for k in (100, j, j + 1)]
    hvl = figures["hvl1_mm_al"]
    assert 10 * math.log(2) / max(mus) < hvl < 10 * math.log(2) / min(mus)


@pytest.mark.parametrize(
    "filters,equivalent",
    [
        pytest.param([("W", 0)], {}, id="zero-thickness-is-no-filter"),
        pytest.param([("sN", 1)], dict(filters=[("Sn", 1)]), id="case-ignored"),
        pytest.param([("Sn", 1), ("Pb", 0.1)], dict(filters=[("Pb", 0.1), ("Sn", 1)]), id="order"),
    ],
)
def test_filters_that_must_give_the_same_spectrum(tables, filters, equivalent):
    a = xscatter.primary(100, filters=filters, tables=tables).fluence
    b = xscatter.primary(100, tables=tables, **equivalent).fluence
    numpy.testing.assert_allclose(a, b, rtol=1e-13, atol=0)


def test_aluminium_filter_matches_the_added_aluminium_box(tables):
    # Materials.csv holds aluminium at the density of Mus.dat, so both differ only by the tables'
    # seven printed digits.
    a = xscatter.primary(100, filters=[("Al", 2)], tables=tables).fluence
    b = xscatter.primary(100, al=2, tables=tables).fluence
    numpy.testing.assert_allclose(a, b, rtol=1e-5, atol=1e-12)


@pytest.mark.parametrize(
    "filters,message",
    [
        pytest.param(
            [("Xx", 1)], "unknown filter material 'Xx' (Materials.csv lists Be, C,", id="unknown"
        ),
        pytest.param([("", 1)], "unknown filter material ''", id="empty-name"),
        pytest.param([("Sn", -1)], "the thickness of filter 'Sn' is not", id="negative"),
        pytest.param([("Sn", math.nan)], "the thickness of filter 'Sn' is not", id="nan"),
        pytest.param([("Sn", math.inf)], "the thickness of filter 'Sn' is not", id="inf"),
    ],
)
def test_bad_filters_raise_value_error(tables, filters, message):
    with pytest.raises(ValueError) as error:
        xscatter.primary(100, filters=filters, tables=tables)
    assert str(error.value).startswith(message)


def test_resampling_between_points(tables):
    spectrum = xscatter.Spectrum.from_arrays([10.25, 10.75, 11.75], [1, 3, 0], tables=tables)
    # The channels reach halfway to the neighbours: 1 photon in 10.0..10.5 keV, 3 in 10.5..11.25
    # and none in 11.25..12.25. Bin 20 (9.75..10.25) gets half the first: 0.5; bin 21 the other
    # half and a third of the second: 1.5; bin 22 (10.75..11.25) two thirds of it: 2, the maximum.
    assert list(spectrum.fluence[19:24]) == [0.25, 0.75, 1, 0, 0]
    assert not spectrum.fluence[:19].any() and not spectrum.fluence[24:].any()
    assert spectrum.bin_count == 22


def test_a_computed_spectrum_resamples_onto_itself(tables):
    computed = xscatter.primary(100, tables=tables)
    again = xscatter.Spectrum.from_arrays(computed.energy, computed.fluence, tables=tables)
    assert numpy.array_equal(again.fluence, computed.fluence)
    assert again.bin_count == numpy.flatnonzero(computed.fluence).max() + 1


def test_points_above_the_grid_are_dropped_with_a_warning(tables):
    with pytest.warns(UserWarning, match=r"^2 point\(s\) above 150 keV were dropped"):
        spectrum = xscatter.Spectrum.from_arrays([100, 149, 151, 160], [1, 1, 1, 1], tables=tables)
    assert spectrum.bin_count == 300


@pytest.mark.parametrize(
    "energy,fluence,error,message",
    [
        pytest.param([1], [1], ValueError, "spectrum: holds 1 point", id="one-point"),
        pytest.param([1, 2], [1], ValueError, "spectrum: 2 energies but 1", id="lengths"),
        pytest.param([1, 2], [1, math.nan], ValueError, "spectrum: point 2: fluence", id="nan"),
        pytest.param([[1, 2]], [1, 2], ValueError, "energy must be one-dimensional", id="2d"),
        pytest.param(["a", "b"], [1, 2], TypeError, "", id="text"),
    ],
)
def test_bad_points_raise_the_readers_message(tables, energy, fluence, error, message):
    with pytest.raises(error) as raised:
        xscatter.Spectrum.from_arrays(energy, fluence, tables=tables)
    assert str(raised.value).startswith(message)


def test_figures_need_air_csv(data_folder, tmp_path):
    for name in ("Mus.dat", "Water.csv", "Water.xfs"):
        (tmp_path / name).write_bytes((data_folder / name).read_bytes())
    spectrum = xscatter.primary(100, tables=xscatter.Tables(tmp_path))
    with pytest.raises(xscatter.TableError, match="Air.csv"):
        spectrum.quality()
    with pytest.raises(xscatter.TableError, match="Materials.csv"):
        xscatter.primary(100, filters=[("Sn", 1)], tables=xscatter.Tables(tmp_path))


@pytest.mark.parametrize(
    "energy,fluence,step",
    [
        pytest.param([0.25, 0.5, 0.75], [0, 1, 0], lambda s: s.quality(), id="quality-of-bin-1"),
        pytest.param([1, 5], [1, 1], lambda s: s.scatter(90), id="scatter-below-8keV"),
    ],
)
def test_spectra_the_models_cannot_use_raise_runtime_error(tables, energy, fluence, step):
    spectrum = xscatter.Spectrum.from_arrays(energy, fluence, tables=tables)
    with pytest.raises(RuntimeError) as error:
        step(spectrum)
    assert str(error.value)


def test_doppler_broadening_moves_the_photons_and_keeps_them(tables):
    spectrum = xscatter.primary(100, tables=tables)
    plain = spectrum.scatter(90)
    broadened = spectrum.scatter(90, doppler=True)
    # The two runs are normalised to their own common maximum; the coherent spectra, which the
    # broadening leaves alone, give the ratio of the two scales.
    scale = plain.coherent[199] / broadened.coherent[199]
    assert broadened.coherent * scale == pytest.approx(plain.coherent, rel=1e-12, abs=1e-300)
    assert broadened.incoherent_photons.sum() * scale == pytest.approx(
        plain.incoherent_photons.sum(), rel=1e-12
    )
    assert list(broadened.incoherent_energy) == [0.5 * i for i in range(1, 301)]
    # The Compton line of the 59.3 keV tungsten line spreads over its neighbours.
    peak = int(plain.incoherent.argmax())
    assert broadened.incoherent[peak] * scale < 0.7 * plain.incoherent[peak]
