# SPDX-License-Identifier: MIT
"""What a spectrum was computed for, tables from a working folder, and matching a measured HVL."""

import shutil

import numpy
import pytest

import xscatter


def test_a_computed_spectrum_keeps_its_conditions_and_filters(tables):
    spectrum = xscatter.primary(
        80, target_angle=16, inherent=3, al=1.5, cu=0.1, filters=[("sn", 0.2), ("Al", 1)],
        tables=tables,
    )
    assert spectrum.conditions == {
        "kv": 80.0,
        "target_angle": 16.0,
        "inherent": 3.0,
        "al": 1.5,
        "cu": 0.1,
        # The materials as Materials.csv names them, in the order of the beam.
        "filters": [("Sn", 0.2), ("Al", 1.0)],
    }
    assert xscatter.primary(100, tables=tables).conditions["filters"] == []


def test_a_spectrum_from_points_has_no_conditions(tables):
    assert xscatter.Spectrum.from_arrays([10, 11], [2, 4], tables=tables).conditions is None


@pytest.mark.parametrize(
    "layout",
    [
        pytest.param("data", id="the-data-folder-itself"),
        pytest.param("working", id="a-working-folder-holding-Data"),
        pytest.param("both", id="a-data-folder-that-also-holds-Data"),
    ],
)
def test_tables_from_a_data_or_a_working_folder(data_folder, tmp_path, layout):
    given = tmp_path / "given"
    if layout in ("data", "both"):
        shutil.copytree(data_folder, given)
    if layout in ("working", "both"):
        # Under "both" this Data/ is broken: the folder's own Mus.dat is preferred.
        (given / "Data").mkdir(parents=True)
        if layout == "working":
            for table in data_folder.iterdir():
                shutil.copy2(table, given / "Data")
    expected = given if layout in ("data", "both") else given / "Data"
    tables = xscatter.Tables(given)
    assert tables.folder == expected
    assert numpy.array_equal(
        xscatter.primary(100, tables=tables).fluence, xscatter.primary(100).fluence
    )


def test_a_folder_without_tables_or_Data_is_named_in_the_error(tmp_path):
    with pytest.raises(xscatter.TableError) as missing:
        xscatter.Tables(tmp_path)
    assert missing.value.folder == tmp_path and missing.value.file == "Mus.dat"
    # A Data/ without tables is named as the folder searched.
    (tmp_path / "Data").mkdir()
    with pytest.raises(xscatter.TableError) as empty:
        xscatter.Tables(tmp_path)
    assert empty.value.folder == tmp_path / "Data"


# The first HVL of a known beam is matched back to the thickness that made it.
@pytest.mark.parametrize(
    "kv,metal,mm,key",
    [
        pytest.param(80, "Al", 2.0, "al", id="80kV-2mm-Al"),
        pytest.param(120, "al", 6.0, "al", id="120kV-6mm-Al-lower-case"),
        pytest.param(100, "Cu", 0.2, "cu", id="100kV-0.2mm-Cu"),
        pytest.param(50, "CU", 0.05, "cu", id="50kV-0.05mm-Cu-upper-case"),
    ],
)
def test_match_hvl_finds_the_thickness_that_made_a_beam(tables, kv, metal, mm, key):
    unit = "al" if key == "al" else "cu"
    hvl = xscatter.primary(kv, **{key: mm}, tables=tables).quality()[f"hvl1_mm_{unit}"]
    # The entry of the matched metal is replaced, whatever it was.
    matched = xscatter.primary(kv, **{key: 9.0}, match_hvl=(metal, hvl), tables=tables)
    found = matched.conditions[key]
    assert found == pytest.approx(mm, rel=1e-4)
    assert matched.quality()[f"hvl1_mm_{unit}"] == pytest.approx(hvl, rel=1e-6)
    assert matched.conditions["match_hvl"] == (metal.capitalize(), hvl)
    # The spectrum is the model's at the thickness found, bin for bin.
    again = xscatter.primary(kv, **{key: found}, tables=tables)
    assert numpy.array_equal(matched.fluence, again.fluence)


@pytest.mark.parametrize(
    "match_hvl,kind,limit",
    [
        pytest.param(("Al", 0.01), "softer_than_unfiltered", 100, id="softer-than-no-aluminium"),
        pytest.param(("Al", 40.0), "harder_than_limit", 100, id="harder-than-100mm-aluminium"),
        pytest.param(("Cu", 20.0), "harder_than_limit", 10, id="harder-than-10mm-copper"),
        pytest.param(("Cu", 0.0), "target_not_positive", 10, id="zero"),
        pytest.param(("Al", float("nan")), "target_not_positive", 100, id="nan"),
    ],
)
def test_unreachable_hvls_raise_match_error(tables, match_hvl, kind, limit):
    with pytest.raises(xscatter.MatchError) as refused:
        xscatter.primary(80, match_hvl=match_hvl, tables=tables)
    error = refused.value
    assert isinstance(error, ValueError)
    assert (error.kind, error.metal, error.limit_mm) == (kind, match_hvl[0], limit)
    assert str(error).startswith("a first HVL of ")
    if kind == "softer_than_unfiltered":
        unfiltered = xscatter.primary(80, al=0, tables=tables).quality()["hvl1_mm_al"]
        assert error.reachable_mm == pytest.approx(unfiltered, rel=1e-12)
        assert error.reachable_mm > match_hvl[1]
    if kind == "harder_than_limit":
        assert error.reachable_mm < match_hvl[1]


@pytest.mark.parametrize(
    "match_hvl,error",
    [
        pytest.param(("Sn", 1.0), ValueError, id="other-metal"),
        pytest.param(("Al",), TypeError, id="no-thickness"),
        pytest.param("Al", TypeError, id="not-a-pair"),
    ],
)
def test_bad_match_hvl_arguments(tables, match_hvl, error):
    with pytest.raises(error):
        xscatter.primary(80, match_hvl=match_hvl, tables=tables)


def test_conditions_are_checked_before_matching(tables):
    with pytest.raises(xscatter.ConditionError) as refused:
        xscatter.primary(30, match_hvl=("Al", 2.0), tables=tables)
    assert refused.value.refusal == "voltage_out_of_range"
