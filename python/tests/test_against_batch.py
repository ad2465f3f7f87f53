# SPDX-License-Identifier: MIT
"""The module against xscatter-batch: the same numbers, files and messages for the same entries."""

import json
import warnings

import pytest

import xscatter

# Exposure conditions and scatter angle; each case runs the batch tool once.
CASES = [
    pytest.param(dict(kv=100), 90, id="default-90deg"),
    pytest.param(dict(kv=40), 5, id="40kV-smallest-angle"),
    pytest.param(dict(kv=150), 175, id="150kV-largest-angle"),
    pytest.param(dict(kv=80.3, target_angle=20, inherent=3, al=1, cu=0.1), 30, id="filtered-30deg"),
]

OPTIONS = dict(
    kv="--kv", target_angle="--target-angle", inherent="--inherent", al="--al", cu="--cu"
)


def batch_args(conditions, angle):
    args = []
    for name, value in conditions.items():
        args += [OPTIONS[name], repr(value)]
    return args + ["--angle", repr(angle)]


def data_lines(path):
    """The two printed values of each of the 300 data lines."""
    lines = path.read_bytes().decode("ascii").split("\r\n")
    assert len(lines) == 302 and lines[-1] == ""
    return [(line[:9], line[9:].strip()) for line in lines[1:301]]


def printed(value, decimals):
    return f"{value:.{decimals}E}"


@pytest.fixture(scope="module")
def batch_files(batch):
    """Files of one batch run per case, made on first use."""
    runs = {}

    def files(conditions, angle):
        key = json.dumps([conditions, angle])
        if key not in runs:
            result = batch.run(*batch_args(conditions, angle))
            assert result.returncode == 0, result.stderr.decode()
            runs[key] = result.folder
        return runs[key]

    return files


@pytest.mark.parametrize("conditions,angle", CASES)
def test_arrays_equal_the_files_to_their_printed_digits(batch_files, tables, conditions, angle):
    folder = batch_files(conditions, angle)
    spectrum = xscatter.primary(tables=tables, **conditions)
    scatter = spectrum.scatter(angle)
    assert spectrum.bin_count == int(2 * conditions["kv"])

    columns = {
        "P_Spectrum.dat": [(spectrum.energy, 3), (spectrum.fluence, 3)],
        "Inc_Spectrum.dat": [(scatter.incoherent_energy, 3), (scatter.incoherent, 4)],
        "Coh_Spectrum.dat": [(scatter.energy, 3), (scatter.coherent, 4)],
    }
    for name, ((first, d1), (second, d2)) in columns.items():
        for i, (a, b) in enumerate(data_lines(folder / name), start=1):
            assert (printed(first[i - 1], d1), printed(second[i - 1], d2)) == (a, b), (name, i)


@pytest.mark.parametrize("conditions,angle", CASES)
def test_written_files_are_byte_identical(batch_files, tables, tmp_path, conditions, angle):
    folder = batch_files(conditions, angle)
    spectrum = xscatter.primary(tables=tables, **conditions)
    spectrum.write(tmp_path)
    spectrum.scatter(angle).write(str(tmp_path))
    for name in ("P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"):
        assert (tmp_path / name).read_bytes() == (folder / name).read_bytes(), name
    assert sorted(p.name for p in tmp_path.iterdir()) == [
        "Coh_Spectrum.dat",
        "Inc_Spectrum.dat",
        "P_Spectrum.dat",
    ]


@pytest.mark.parametrize("conditions,angle", CASES)
def test_figures_equal_the_batch_report(batch, tables, conditions, angle):
    if not batch.accepts("--report"):
        pytest.skip("this xscatter-batch has no --report")
    result = batch.run(*batch_args(conditions, angle), "--report", "json")
    assert result.returncode == 0, result.stderr.decode()
    report = json.loads(result.stdout)
    scatter = xscatter.primary(tables=tables, **conditions).scatter(angle)
    spectrum = xscatter.primary(tables=tables, **conditions)
    assert spectrum.quality() == report["primary"]
    assert scatter.figures() == report["scatter"]


@pytest.mark.parametrize(
    "filters,options",
    [
        pytest.param([("Sn", 1)], ["--filter", "Sn:1"], id="Sn-1mm"),
        pytest.param(
            [("pb", 0.1), ("Be", 2)], ["--filter", "Pb:0.1", "--filter", "Be:2"], id="two-layers"
        ),
    ],
)
def test_filters_equal_the_batch_filters(batch, tables, tmp_path, filters, options):
    if not batch.accepts("--filter"):
        pytest.skip("this xscatter-batch has no --filter")
    result = batch.run("--angle", "90", *options)
    assert result.returncode == 0, result.stderr.decode()
    spectrum = xscatter.primary(100, filters=filters, tables=tables)
    spectrum.write(tmp_path)
    spectrum.scatter(90).write(tmp_path)
    for name in ("P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"):
        assert (tmp_path / name).read_bytes() == (result.folder / name).read_bytes(), name


def remove_tables(data):
    for table in data.iterdir():
        table.unlink()


@pytest.mark.parametrize(
    "damage",
    [
        pytest.param(remove_tables, id="no-tables"),
        pytest.param(lambda data: (data / "Water.csv").write_bytes(b"1,2,3\n"), id="short-table"),
        pytest.param(
            lambda data: (data / "Mus.dat").write_bytes(b"0.5,x" + b",1" * 2098), id="not-a-number"
        ),
    ],
)
def test_table_errors_carry_the_programs_message(batch, tmp_path, damage):
    folder = batch.folder()
    damage(folder / "Data")
    result = batch.run("--angle", "90", folder=folder)
    assert result.returncode == 1
    with pytest.raises(xscatter.TableError) as error:
        xscatter.Tables(folder / "Data")
    assert result.stderr.decode() == str(error.value) + "\n"


@pytest.mark.parametrize(
    "text,energy,fluence",
    [
        pytest.param(
            "keV,counts\n10.25,1\n30,4e3\n62.2,1.5e4\n99.9,2\n",
            [10.25, 30, 62.2, 99.9],
            [1, 4e3, 1.5e4, 2],
            id="csv-off-grid",
        ),
        pytest.param(
            "# measured\n20;0;x\n40.5;7;y\n149.75;1;z\n160;5;w\n",
            [20, 40.5, 149.75, 160],
            [0, 7, 1, 5],
            id="semicolons-past-the-grid",
        ),
    ],
)
def test_from_arrays_equals_the_batch_primary_option(
    batch, tables, tmp_path, text, energy, fluence
):
    if not batch.accepts("--primary"):
        pytest.skip("this xscatter-batch has no --primary")
    points = tmp_path / "points.txt"
    points.write_text(text)
    result = batch.run("--primary", str(points), "--angle", "90")
    assert result.returncode == 0, result.stderr.decode()
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        spectrum = xscatter.Spectrum.from_arrays(energy, fluence, tables=tables)
    out = tmp_path / "python"
    out.mkdir()
    spectrum.write(out)
    spectrum.scatter(90).write(out)
    for name in ("P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"):
        assert (out / name).read_bytes() == (result.folder / name).read_bytes(), name
