# SPDX-License-Identifier: MIT
"""Entries the program refuses, and values from Python that no box can hold."""

import math
import shutil
import subprocess
import time

import pytest

import xscatter

VOLTAGE = "\u3000管電圧が範囲外 "
TARGET_ANGLE = "\u3000ターゲット角度を再入力\u3000"
INHERENT = "\u3000固有ろ過を再入力\u3000"
NOT_COMPUTABLE = "\u3000この条件ではスペクトルを計算できません\u3000"
SCATTER_ANGLE = " 散乱角度が範囲外です "
ALUMINIUM = "\u3000アルミ付加フィルタを再入力\u3000"
COPPER = "\u3000銅付加フィルタを再入力\u3000"


@pytest.mark.parametrize(
    "conditions,warning",
    [
        pytest.param(dict(kv=39.9), VOLTAGE, id="kv-below-40"),
        pytest.param(dict(kv=150.5), VOLTAGE, id="kv-above-150"),
        pytest.param(dict(kv=math.nan), VOLTAGE, id="kv-nan"),
        pytest.param(dict(kv=math.inf), VOLTAGE, id="kv-inf"),
        pytest.param(dict(kv=20, target_angle=0), VOLTAGE, id="voltage-checked-first"),
        pytest.param(dict(kv=100, target_angle=0.5), TARGET_ANGLE, id="target-angle-below-1"),
        pytest.param(dict(kv=100, target_angle=math.nan), TARGET_ANGLE, id="target-angle-nan"),
        pytest.param(
            dict(kv=100, target_angle=0, inherent=0), TARGET_ANGLE, id="angle-before-inherent"
        ),
        pytest.param(dict(kv=100, inherent=0.9), INHERENT, id="inherent-below-1"),
        pytest.param(dict(kv=100, inherent=-math.nan), INHERENT, id="inherent-nan"),
        pytest.param(dict(kv=100, target_angle=90), TARGET_ANGLE, id="target-angle-90"),
        pytest.param(dict(kv=100, target_angle=179.99), TARGET_ANGLE, id="target-angle-past-90"),
        pytest.param(
            dict(kv=100, target_angle=120, inherent=0.5), INHERENT, id="inherent-before-angle-90"
        ),
        pytest.param(dict(kv=100, al=math.nan), ALUMINIUM, id="al-nan"),
        pytest.param(dict(kv=100, al=-0.5, cu=-0.01), ALUMINIUM, id="al-negative"),
        pytest.param(dict(kv=100, cu=math.nan), COPPER, id="cu-nan"),
        pytest.param(dict(kv=100, al=math.inf), NOT_COMPUTABLE, id="al-inf"),
        pytest.param(dict(kv=100, cu=-1e6), COPPER, id="cu-huge-negative"),
    ],
)
def test_refused_conditions_raise_the_warning_text(tables, conditions, warning):
    with pytest.raises(xscatter.ConditionError) as error:
        xscatter.primary(tables=tables, **conditions)
    assert str(error.value) == warning
    assert isinstance(error.value, ValueError)


@pytest.mark.parametrize(
    "conditions,bin_count",
    [
        pytest.param(dict(kv=40, target_angle=1, inherent=1), 80, id="all-at-their-limits"),
        pytest.param(dict(kv=150, target_angle=89.99), 300, id="150kV-target-angle-89.99"),
        pytest.param(dict(kv=80.3), 160, id="80.3kV"),
        pytest.param(dict(kv=100, al=-0.0, cu=-0.0), 200, id="negative-zero-filters"),
    ],
)
def test_accepted_conditions(tables, conditions, bin_count):
    spectrum = xscatter.primary(tables=tables, **conditions)
    assert spectrum.bin_count == bin_count
    fluence = spectrum.fluence
    assert fluence.shape == (300,) and fluence.max() == 1
    assert not fluence[bin_count:].any() and fluence[0] == 0


@pytest.mark.parametrize(
    "angle,accepted",
    [
        pytest.param(5, True, id="5"),
        pytest.param(175, True, id="175"),
        pytest.param(4.99, False, id="4.99"),
        pytest.param(175.01, False, id="175.01"),
        pytest.param(0, False, id="0"),
        pytest.param(math.nan, False, id="nan"),
        pytest.param(-math.inf, False, id="-inf"),
    ],
)
def test_scatter_angle_range(tables, angle, accepted):
    spectrum = xscatter.primary(100, tables=tables)
    if accepted:
        scatter = spectrum.scatter(angle)
        assert scatter.angle == angle
        assert max(scatter.incoherent.max(), scatter.coherent.max()) == 1
    else:
        with pytest.raises(ValueError) as error:
            spectrum.scatter(angle)
        assert str(error.value) == SCATTER_ANGLE


def default_case(tables):
    return xscatter.primary(100, tables=tables)


@pytest.mark.parametrize(
    "call,error",
    [
        pytest.param(lambda t: xscatter.primary("100", tables=t), TypeError, id="kv-text"),
        pytest.param(lambda t: default_case(t).scatter(None), TypeError, id="no-angle"),
        pytest.param(lambda t: xscatter.Tables("data\0x"), TypeError, id="folder-with-nul"),
        pytest.param(lambda t: default_case(t).write("/tmp\0x"), TypeError, id="nul-in-folder"),
        pytest.param(lambda t: xscatter.Spectrum(), TypeError, id="spectrum-without-a-model"),
    ],
)
def test_wrong_argument_types_raise_type_error(tables, call, error):
    with pytest.raises(error):
        call(tables)


def missing_folder(root):
    return root / "missing"


def folder_named_like_the_file(root):
    (root / "P_Spectrum.dat").mkdir()
    return root


@pytest.mark.parametrize("make_target", [missing_folder, folder_named_like_the_file])
def test_unwritable_files_raise_os_error_and_leave_no_litter(tables, tmp_path, make_target):
    target = make_target(tmp_path)
    before = sorted(tmp_path.rglob("*"))
    with pytest.raises(OSError) as error:
        xscatter.primary(100, tables=tables).write(target)
    assert "P_Spectrum.dat" in str(error.value)
    assert sorted(tmp_path.rglob("*")) == before


def test_arrays_are_read_only_views_that_outlive_their_spectrum(tables):
    spectrum = xscatter.primary(100, tables=tables)
    fluence = spectrum.fluence
    with pytest.raises(ValueError):
        fluence[10] = 2
    expected = fluence.copy()
    del spectrum
    assert (fluence == expected).all()


def test_write_waits_for_the_folder_lock_of_a_batch_run(tables, tmp_path):
    # flock(1) holds the folder as xscatter-batch does for a whole run.
    holder = subprocess.Popen(["flock", "-x", str(tmp_path), "sleep", "1.5"])
    try:
        time.sleep(0.3)
        start = time.monotonic()
        xscatter.primary(100, tables=tables).write(tmp_path)
        waited = time.monotonic() - start
    finally:
        holder.wait()
    assert waited > 0.8
    assert (tmp_path / "P_Spectrum.dat").stat().st_size == 6616


def test_errors_carry_their_fields(tables, tmp_path):
    with pytest.raises(xscatter.ConditionError) as refused:
        xscatter.primary(100, al=-1, tables=tables)
    assert refused.value.refusal == "added_aluminium"
    (tmp_path / "P_Spectrum.dat").mkdir()
    with pytest.raises(xscatter.FileError) as unwritable:
        xscatter.primary(100, tables=tables).write(tmp_path)
    assert isinstance(unwritable.value, OSError)
    assert unwritable.value.file == tmp_path / "P_Spectrum.dat"
    with pytest.raises(xscatter.TableError) as missing:
        xscatter.Tables(tmp_path)
    assert missing.value.file == "Mus.dat" and missing.value.folder == tmp_path


def test_tables_stay_those_of_their_folder_after_chdir(data_folder, tmp_path, monkeypatch):
    monkeypatch.chdir(data_folder.parent)
    tables = xscatter.Tables(data_folder.name)
    shutil.copytree(data_folder, tmp_path / data_folder.name)
    (tmp_path / data_folder.name / "Air.csv").write_text("broken\n")
    monkeypatch.chdir(tmp_path)
    assert tables.folder == data_folder
    assert xscatter.primary(100, tables=tables).quality() == xscatter.primary(100).quality()
