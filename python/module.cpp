// SPDX-License-Identifier: MIT
// The Python module xscatter: the engine's primary and scatter spectra as numpy arrays, with the
// program's checks, messages and files.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/entries.h"
#include "app/failure_text.h"
#include "app/table_set.h"
#include "model/errors.h"
#include "model/figures.h"
#include "model/hvl_match.h"
#include "model/scatter_messages.h"
#include "output/folder_lock.h"
#include "python/spectra.h"
#include "python/table_set.h"

namespace py = pybind11;
namespace fs = std::filesystem;

namespace xscatter::python {
namespace {

constexpr const char* kModuleDoc =
    R"doc(X-ray tube spectra and their scatter by water, as computed by xscatter.

``primary(kv)`` computes the primary spectrum of a tungsten-target tube (Tucker model, 0.5 keV
bins up to 150 keV); ``Spectrum.scatter(angle)`` the incoherent (Compton) and coherent (Rayleigh)
spectra that a small volume of water scatters into unit solid angle at ``angle`` degrees.
Energies are in keV and thicknesses in mm. Entries the program would refuse raise ConditionError
(a ValueError) with the program's own warning text; unusable tables raise TableError, files that
cannot be written FileError (an OSError).

Example::

    import xscatter
    print(xscatter.primary(100).scatter(90).figures())
)doc";

// The 300 bins 1..300 of `values` as a read-only array that keeps `owner` alive.
py::array BinView(const GridArray& values, py::handle owner) {
  py::array_t<double> view({kLastBin}, {sizeof(double)}, values.data() + 1, owner);
  view.attr("flags").attr("writeable") = false;
  return view;
}

// Bin energies 0.5·i keV, i = 1..300, read-only.
py::array BinEnergies() {
  py::array_t<double> energies(kLastBin);
  auto e = energies.mutable_unchecked<1>();
  for (int i = 1; i <= kLastBin; ++i) e(i - 1) = kBinWidth * i;
  energies.attr("flags").attr("writeable") = false;
  return energies;
}

// The folder of the tables shipped with this module file.
fs::path ShippedTableFolder() {
  const py::module_ module = py::module_::import("xscatter");
  const fs::path file = module.attr("__file__").cast<std::string>();
  return DefaultTableFolder(file, XSCATTER_BUILD_MODULE_DIR, XSCATTER_SOURCE_DATA);
}

// The module's default tables, loaded at the first use and kept by the module; a failed load is
// tried again at the next use.
std::shared_ptr<TableSet> DefaultTables() {
  py::module_ module = py::module_::import("xscatter");
  if (!py::hasattr(module, "_default_tables")) {
    module.attr("_default_tables") = py::cast(std::make_shared<TableSet>(ShippedTableFolder()));
  }
  return module.attr("_default_tables").cast<std::shared_ptr<TableSet>>();
}

std::shared_ptr<TableSet> TablesOrDefault(std::shared_ptr<TableSet> tables) {
  return tables ? std::move(tables) : DefaultTables();
}

// Raises the module's exception `type_name` with the program's message and the failure's fields
// as attributes.
void Raise(const char* type_name, const std::string& message, const py::dict& fields) {
  const py::object type = py::module_::import("xscatter").attr(type_name);
  const py::object exception = type(message);
  for (const auto& [name, value] : fields) exception.attr(name) = value;
  PyErr_SetObject(type.ptr(), exception.ptr());
}

const char* RefusalName(Refusal refusal) {
  switch (refusal) {
    case Refusal::VoltageOutOfRange:
      return "voltage_out_of_range";
    case Refusal::TargetAngle:
      return "target_angle";
    case Refusal::InherentFiltration:
      return "inherent_filtration";
    case Refusal::AddedAluminium:
      return "added_aluminium";
    case Refusal::AddedCopper:
      return "added_copper";
    case Refusal::NotComputable:
      return "not_computable";
    case Refusal::ScatterAngleOutOfRange:
      return "scatter_angle_out_of_range";
  }
  return "";
}

const char* MetalName(HvlMetal metal) { return metal == HvlMetal::Aluminium ? "Al" : "Cu"; }

const char* MatchFaultName(HvlMatchFault::Kind kind) {
  switch (kind) {
    case HvlMatchFault::Kind::TargetNotPositive:
      return "target_not_positive";
    case HvlMatchFault::Kind::SofterThanUnfiltered:
      return "softer_than_unfiltered";
    case HvlMatchFault::Kind::HarderThanLimit:
      return "harder_than_limit";
  }
  return "";
}

// What a computed spectrum was computed for, under the names of primary()'s arguments; None for a
// spectrum from points.
py::object ConditionsDict(const Spectrum& s) {
  if (!s.conditions) return py::none();
  const SpectrumConditions& c = *s.conditions;
  py::dict d;
  d["kv"] = c.exposure.kv;
  d["target_angle"] = c.exposure.target_angle_deg;
  d["inherent"] = c.exposure.inherent_mm_al;
  d["al"] = c.exposure.al_mm;
  d["cu"] = c.exposure.cu_mm;
  py::list filters;
  for (const auto& [material, mm] : c.filters) filters.append(py::make_tuple(material, mm));
  d["filters"] = filters;
  if (c.matched) d["match_hvl"] = py::make_tuple(MetalName(c.matched->metal), c.matched->hvl1_mm);
  return d;
}

void TranslateErrors(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const TableError& e) {
    Raise("TableError", FailureText(e, "table"),
          py::dict(py::arg("file") = e.file, py::arg("folder") = e.folder,
                   py::arg("record") = e.record, py::arg("field") = e.field));
  } catch (const ConditionError& e) {
    Raise("ConditionError", e.what(), py::dict(py::arg("refusal") = RefusalName(e.refusal)));
  } catch (const FileWriteError& e) {
    Raise("FileError", e.what(), py::dict(py::arg("file") = e.file, py::arg("reason") = e.reason));
  } catch (const FolderLockError& e) {
    Raise("FileError", e.what(),
          py::dict(py::arg("file") = e.folder,
                   py::arg("reason") = py::str(std::strerror(e.error_number))));
  } catch (const HvlMatchError& e) {
    const HvlMatchFault& f = e.fault;
    Raise("MatchError", DescribeHvlMatchFault(f),
          py::dict(py::arg("kind") = MatchFaultName(f.kind), py::arg("metal") = MetalName(f.metal),
                   py::arg("target_mm") = f.target_mm, py::arg("reachable_mm") = f.reachable_mm,
                   py::arg("limit_mm") = f.limit_mm));
  } catch (const ScatterModelError& e) {
    PyErr_SetString(PyExc_RuntimeError, DescribeScatterError(e).c_str());
  } catch (const NormalisationError& e) {
    PyErr_SetString(PyExc_RuntimeError, DescribeNormalisationError(e).c_str());
  }
}

void BindTables(py::module_& m) {
  py::class_<TableSet, std::shared_ptr<TableSet>>(
      m, "Tables", R"doc(The physical tables of one data folder, loaded once.

Tables(folder=None): ``folder`` is the folder that holds the table files (str or path), or a
working folder of the program whose Data/ holds them (the folder itself is read when it holds
Mus.dat); None loads the tables installed with xscatter. Mus.dat, Water.csv and Water.xfs are read at once;
Air.csv (for quality() and figures()) and Materials.csv (for filters) too, but their errors are
raised only when they are used. The folder is made absolute, so a later os.chdir changes nothing.
Raises TableError, with the program's message, when a table is missing, unreadable or malformed.
)doc")
      .def(py::init([](std::optional<fs::path> folder) {
             return std::make_shared<TableSet>(folder ? GivenTableFolder(*folder)
                                                      : ShippedTableFolder());
           }),
           py::arg("folder") = py::none())
      .def_property_readonly(
          "folder", [](const TableSet& t) { return t.Folder(); },
          "The folder the tables were read from.")
      .def("__repr__", [](const TableSet& t) {
        return "xscatter.Tables(" + py::repr(py::cast(t.Folder())).cast<std::string>() + ")";
      });

  m.def("default_tables", &DefaultTables,
        R"doc(The tables installed with xscatter, loaded at the first call and then shared.

primary() and Spectrum.from_arrays() use them when no ``tables`` are given. Raises TableError
when they cannot be loaded (and tries again at the next call).
)doc");
}

// A figure's value for a dictionary: None when it has none, an int for a whole-number figure.
template <typename Quality>
py::object FigureValue(const Figure<Quality>& figure, const Quality& quality) {
  const std::optional<double> value = figure.value(quality);
  if (!value) return py::none();
  if (figure.whole_number) return py::int_(static_cast<long long>(*value));
  return py::float_(*value);
}

// The figures under the names of the batch tool's JSON report.
py::dict QualityDict(const PrimaryQuality& q) {
  py::dict d;
  for (const auto& figure : PrimaryFigures()) d[py::str(figure.key)] = FigureValue(figure, q);
  return d;
}

py::dict FiguresDict(double angle_deg, const ScatterQuality& q) {
  py::dict d;
  d["angle_deg"] = angle_deg;
  for (const auto& figure : ScatterFigures()) d[py::str(figure.key)] = FigureValue(figure, q);
  return d;
}

// A one-dimensional array of numbers as a vector; anything else is refused with ValueError.
std::vector<double> PointValues(const py::array_t<double, py::array::forcecast>& values,
                                const char* name) {
  if (values.ndim() != 1) {
    throw std::invalid_argument(std::string(name) + " must be one-dimensional");
  }
  const auto v = values.unchecked<1>();
  std::vector<double> out(static_cast<std::size_t>(v.shape(0)));
  for (py::ssize_t i = 0; i < v.shape(0); ++i) out[static_cast<std::size_t>(i)] = v(i);
  return out;
}

void BindSpectrum(py::module_& m) {
  py::class_<Spectrum>(m, "Spectrum",
                       R"doc(A primary X-ray spectrum on the program's grid of 300 bins of 0.5 keV.

Attributes: ``energy`` (keV, 0.5·i for i = 1..300), ``fluence`` (relative, largest bin 1),
``bin_count`` (the last bin of the spectrum, Int(2·kV)) and ``conditions`` (what primary() was
given, None for from_arrays); the arrays are read-only.
)doc")
      .def_property_readonly(
          "energy", [](const Spectrum&) { return BinEnergies(); },
          "Bin energies in keV: 0.5, 1.0, ..., 150.0 (300 values).")
      .def_property_readonly(
          "fluence",
          [](py::object self) { return BinView(self.cast<const Spectrum&>().fluence, self); },
          "Relative fluence of each bin, normalised to a maximum of 1 (300 values).")
      .def_readonly("bin_count", &Spectrum::bin_count,
                    "The last bin of the spectrum: Int(2·kV) for a computed one.")
      .def_property_readonly("conditions", &ConditionsDict,
                             R"doc(What the spectrum was computed for, or None for one from_arrays.

A dict of primary()'s arguments: kv, target_angle, inherent, al, cu (mm; with match_hvl the
thickness found) and filters (a list of (material, mm), the material as Materials.csv names it);
with match_hvl also match_hvl: (metal, first HVL in mm).
)doc")
      .def(
          "scatter",
          [](const Spectrum& s, double angle, bool doppler) {
            py::gil_scoped_release release;
            return ComputeScatterSpectra(s, angle, doppler);
          },
          py::arg("angle"), py::kw_only(), py::arg("doppler") = false,
          R"doc(The incoherent and coherent scatter of this spectrum by water at ``angle``.

The angle must lie within 5..175 degrees, else ConditionError with the program's warning
" 散乱角度が範囲外です ". It is converted to radians as angle/180·3.14159, like the program
does. Raises RuntimeError with the program's message when the scatter cannot be computed.

doppler=True broadens the incoherent spectrum by the motion of water's electrons (impulse
approximation with the Compton profiles of WaterCompton.csv): each primary bin keeps its
photons, only their spread in scattered energy changes, and ``incoherent_energy`` then holds the
bin energies 0.5·i keV. Raises TableError when WaterCompton.csv cannot be read.
Returns a Scatter.
)doc")
      .def(
          "quality", [](const Spectrum& s) { return QualityDict(Quality(s)); },
          R"doc(Beam-quality figures of the spectrum, as in the batch tool's JSON report.

A dict with bin_count, mean_energy_kev (fluence-weighted), kerma_mean_energy_kev (air-kerma
weighted), hvl1_mm_al, hvl2_mm_al, homogeneity_al, hvl1_mm_cu, hvl2_mm_cu, homogeneity_cu (half-
and second half-value layers of air kerma in mm and their ratio HVL1/HVL2) and
effective_energy_kev_al (the energy whose aluminium attenuation gives HVL1; None when the table
has none). Reads Air.csv; raises RuntimeError naming a figure that has no value.
)doc")
      .def_static(
          "from_arrays",
          [](const py::array_t<double, py::array::forcecast>& energy,
             const py::array_t<double, py::array::forcecast>& fluence,
             std::shared_ptr<TableSet> tables) {
            const std::vector<double> energies = PointValues(energy, "energy");
            const std::vector<double> fluences = PointValues(fluence, "fluence");
            int dropped = 0;
            Spectrum spectrum =
                SpectrumFromPoints(TablesOrDefault(std::move(tables)), energies, fluences, dropped);
            if (dropped > 0) {
              const std::string note = std::to_string(dropped) +
                                       " point(s) above 150 keV were dropped: the grid ends there";
              if (PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 1) != 0) {
                throw py::error_already_set();
              }
            }
            return spectrum;
          },
          py::arg("energy"), py::arg("fluence"), py::arg("tables") = py::none(),
          R"doc(A measured primary spectrum on the grid, resampled as by --primary.

energy: photon energies in keV, strictly increasing and not negative.
fluence: the fluence at each energy, not negative, in any unit.
tables: the Tables its scatter and figures use; None uses default_tables().

The points are a histogram: each fluence counts the photons of a channel reaching halfway to
the neighbouring points (the first and last as far out as their neighbour lies), and each bin
0.5·i ± 0.25 keV receives the photons of the parts of the channels it overlaps, so the photons
are kept wherever a narrow line falls, and points on the grid's own energies keep their values.
The result is normalised to a maximum of 1 and bin_count is its highest non-zero bin. Points above 150 keV are dropped with a UserWarning. Bad points raise ValueError
with the reader's message. Returns a Spectrum.
)doc")
      .def("write", &WritePrimaryFile, py::arg("folder"), py::call_guard<py::gil_scoped_release>(),
           R"doc(Writes P_Spectrum.dat into ``folder``, byte for byte as the program does.

The file is replaced at once by a complete one, while holding the folder's lock (a batch run or
another script writing there is waited for); FileError, an OSError, with the program's message
names what failed.
)doc")
      .def("__repr__", [](const Spectrum& s) {
        return "<xscatter.Spectrum bin_count=" + std::to_string(s.bin_count) + ">";
      });

  m.def(
      "primary",
      [](double kv, double target_angle, double inherent, double al, double cu,
         const std::vector<NamedFilter>& filters, std::shared_ptr<TableSet> tables,
         std::optional<std::pair<std::string, double>> match_hvl) {
        const ExposureConditions conditions{kv, target_angle, inherent, al, cu};
        if (const auto refusal = CheckConditions(conditions)) throw ConditionError(*refusal);
        std::optional<HvlTarget> target;
        if (match_hvl) target = HvlTarget{ParseHvlMetal(match_hvl->first), match_hvl->second};
        std::shared_ptr<const TableSet> used = TablesOrDefault(std::move(tables));
        const Filters layers = FilterLayers(*used, filters);
        py::gil_scoped_release release;
        if (target) return ComputeMatchedSpectrum(std::move(used), conditions, layers, *target);
        return ComputePrimarySpectrum(std::move(used), conditions, layers);
      },
      py::arg("kv"), py::arg("target_angle") = 12.0, py::arg("inherent") = 2.5, py::arg("al") = 0.0,
      py::arg("cu") = 0.0, py::arg("filters") = py::tuple(), py::arg("tables") = py::none(),
      py::arg("match_hvl") = py::none(),
      R"doc(The primary spectrum of the tungsten-target tube for the exposure conditions.

kv: tube voltage, 40..150 kV.
target_angle: target angle in degrees, at least 1 and below 90.
inherent: inherent filtration in mm aluminium equivalent, at least 1.
al, cu: added aluminium and copper filters in mm, not negative.
filters: further layers behind those, a sequence of (material, mm) pairs as in the batch tool's
    --filter, the material named as in Materials.csv (case ignored), e.g. [("Sn", 1)].
tables: the Tables to use; None uses default_tables().
match_hvl: None, or (metal, mm) with metal "Al" or "Cu": the added thickness of that metal (al
    or cu, which it replaces) is found for which the first half-value layer in that metal, of
    air kerma, is mm (to 1e-6 relative); conditions["al"] or ["cu"] gives it. A value that no
    thickness up to 100 mm Al or 10 mm Cu reaches, or softer than the beam without the metal,
    raises MatchError, a ValueError, with the reason in kind ("softer_than_unfiltered",
    "harder_than_limit", "target_not_positive") and the fields metal, target_mm, reachable_mm
    and limit_mm. Reads Air.csv.

The conditions are checked in the program's order (target angles of 90 degrees and above and
negative added filters are refused after the program's own checks); the first one refused raises
ConditionError, a ValueError, with the program's warning text (for example "　管電圧が範囲外 ")
and its kind in ``refusal`` ("voltage_out_of_range", "target_angle", "inherent_filtration",
"added_aluminium", "added_copper", "not_computable"). Conditions that pass the checks but give no
spectrum raise ConditionError("　この条件ではスペクトルを計算できません　"). An unknown material,
a negative filter thickness and a match_hvl metal other than Al and Cu raise ValueError.
Returns a Spectrum.
)doc");
}

void BindScatter(py::module_& m) {
  py::class_<Scatter>(
      m, "Scatter",
      R"doc(The incoherent (Compton) and coherent (Rayleigh) spectra of water at one angle.

Bin i (i = 1..300) belongs to the primary photons of 0.5·i keV. ``incoherent`` and ``coherent``
are normalised to their common maximum, as in Inc_Spectrum.dat and Coh_Spectrum.dat; bins that
carry no scatter hold 0. All arrays are read-only.
)doc")
      .def_readonly("angle", &Scatter::angle_deg, "The scattering angle in degrees.")
      .def_property_readonly(
          "energy", [](const Scatter&) { return BinEnergies(); },
          "Bin energies in keV, the energies of the coherent spectrum (300 values).")
      .def_property_readonly(
          "incoherent_energy",
          [](py::object self) { return BinView(self.cast<const Scatter&>().result.energy, self); },
          "Energy in keV of the incoherently scattered photon of each bin (0 where none).")
      .def_property_readonly(
          "incoherent",
          [](py::object self) {
            return BinView(self.cast<const Scatter&>().result.incoherent, self);
          },
          "Incoherent fluence per 0.5 keV of scattered energy, at incoherent_energy.")
      .def_property_readonly(
          "coherent",
          [](py::object self) {
            return BinView(self.cast<const Scatter&>().result.coherent, self);
          },
          "Coherent fluence at the bin energies.")
      .def_property_readonly(
          "incoherent_photons",
          [](py::object self) {
            return BinView(self.cast<const Scatter&>().incoherent_photons, self);
          },
          "Incoherently scattered photons of each bin before the conversion to fluence per "
          "0.5 keV, on the scale of coherent.")
      .def(
          "figures", [](const Scatter& s) { return FiguresDict(s.angle_deg, Figures(s)); },
          R"doc(Figures of the scattered photons, as in the batch tool's JSON report.

A dict with angle_deg, incoherent_mean_energy_kev and coherent_mean_energy_kev (photon-weighted
mean energies), coherent_share (the coherent photons' share of all scattered photons) and
hvl1_mm_al (half-value layer of their air kerma in mm aluminium). Reads Air.csv; raises
RuntimeError naming a figure that has no value.
)doc")
      .def("write", &WriteScatterFiles, py::arg("folder"), py::call_guard<py::gil_scoped_release>(),
           R"doc(Writes Inc_Spectrum.dat and Coh_Spectrum.dat into ``folder`` as the program does.

Both files are replaced together by complete ones, under the folder's lock; FileError, an
OSError, with the program's message names what failed.
)doc")
      .def("__repr__", [](const Scatter& s) {
        return "<xscatter.Scatter angle=" + py::repr(py::float_(s.angle_deg)).cast<std::string>() +
               ">";
      });
}

}  // namespace
}  // namespace xscatter::python

PYBIND11_MODULE(xscatter, m) {
  using namespace xscatter::python;
  m.doc() = kModuleDoc;
  m.attr("__version__") = XSCATTER_VERSION;
  py::exception<xscatter::TableError>(m, "TableError", PyExc_Exception).doc() =
      "A data table that is missing, unreadable or malformed; the message says which, and "
      "file, folder, record and field where it is.";
  py::exception<xscatter::ConditionError>(m, "ConditionError", PyExc_ValueError).doc() =
      "An entry the program refuses, with its warning text; refusal names the kind.";
  py::exception<xscatter::FileWriteError>(m, "FileError", PyExc_OSError).doc() =
      "A spectrum file that cannot be written, with the program's message; file and reason.";
  py::exception<xscatter::HvlMatchError>(m, "MatchError", PyExc_ValueError).doc() =
      "A first HVL that match_hvl cannot reach, with the reason; kind, metal, target_mm, "
      "reachable_mm and limit_mm.";
  py::register_exception_translator(&TranslateErrors);
  BindTables(m);
  BindSpectrum(m);
  BindScatter(m);
}
