#include "main/command_line.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>

#include "astro/calendar.h"
#include "astro/time_scales.h"
#include "ephem/jpl_file.h"
#include "io/data_path.h"

namespace zembrel::main {

namespace {

constexpr const char* kCatalogueFile = "estrellas.dat";
constexpr const char* kNutationFile = "nutation_IAU1980.dat";

std::string help_text() {
  std::string t =
      "Uso: zembrel [--help | --version]\n"
      "\n"
      "Utilidades de navegacion astronomica: transformacion de horas y fechas,\n"
      "coordenadas y efemerides de un astro, reconocimiento de un astro\n"
      "desconocido, recta de altura, situacion sin estima con dos o tres\n"
      "observaciones, ecuacion del tiempo y preparacion de la observacion al\n"
      "crepusculo. Con fines educativos exclusivamente: NO ES APTO PARA\n"
      "NAVEGACION REAL.\n"
      "\n"
      "Sin argumentos muestra un menu y lee las respuestas de la entrada estandar,\n"
      "una por pregunta (tambien de un fichero: zembrel < respuestas).\n"
      "Los resultados se escriben en Resultados.txt, en el directorio de\n"
      "trabajo; cada ejecucion lo sustituye a partir de su primer resultado.\n"
      "\n"
      "Cada fichero de datos (JPL_1550-2650_430t, estrellas.dat,\n"
      "nutation_IAU1980.dat, delta_t.iers, delta_t.dat) se toma del primero de\n"
      "estos sitios que lo tenga:\n"
      "  1. el directorio de trabajo\n"
      "  2. el directorio que indique la variable ZEMBREL_DATA\n";
  if (!io::installed_data_dir().empty()) t += "  3. " + io::installed_data_dir() + "\n";
  t +=
      "\n"
      "Opciones:\n"
      "  --help     muestra esta ayuda\n"
      "  --version  muestra la version y lo que abarca cada fichero de datos\n"
      "\n"
      "Estado de salida:\n"
      "  0    fin desde el menu (opcion 0, o un numero fuera de 0 a 7)\n"
      "  2    error: una respuesta que no es un numero, el fin de la entrada, un\n"
      "       fichero de datos ausente o defectuoso, un Resultados.txt que no se\n"
      "       puede abrir, o un argumento desconocido\n"
      "  255  un instante fuera de las efemerides (\"error en coord\")\n"
      "\n"
      "Mas informacion: man zembrel\n";
  return t;
}

std::string date_text(const astro::CalendarDate& d) {
  char s[32];
  std::snprintf(s, sizeof s, "%04d-%02d-%02d", d.year, d.month, d.day);
  return s;
}

// The shortest text that reads back as the same double.
std::string shortest(double v) {
  char s[32];
  const auto r = std::to_chars(s, s + sizeof s, v);
  return std::string(s, r.ptr);
}

std::string ephemeris_lines(const std::string& path) {
  const ephem::EphemerisSpan span = ephem::ephemeris_span(path);
  if (!span.problem.empty()) return "  " + span.problem + "\n";
  std::string t = "  efemerides JPL";
  if (span.de_number != 0) t += " DE" + std::to_string(span.de_number);
  return t + " del " + date_text(astro::gregorian_date(span.first_jd)) + " al " +
         date_text(astro::gregorian_date(span.last_jd)) + "\n  (JD " + shortest(span.first_jd) +
         " a " + shortest(span.last_jd) + ")\n";
}

std::string table_lines(const char* what, const astro::TableSpan& span) {
  if (!span.problem.empty()) return "  " + span.problem + "\n";
  std::string t = std::string("  ") + what + " del " + date_text(span.first) + " al " +
                  date_text(span.last) + ", " + std::to_string(span.entries) + " entradas\n";
  if (span.predicted_from) {
    return t + "  predicciones desde el " + date_text(*span.predicted_from) + "\n";
  }
  return t + "  sin predicciones indicadas\n";
}

std::string version_text(std::string_view version) {
  std::string t = "zembrel " + std::string(version) + "\n";
  for (const char* name : {ephem::kEphemerisFile, astro::kUt1TableFile, astro::kDeltaTTableFile,
                           kCatalogueFile, kNutationFile}) {
    const std::optional<std::string> path = io::find_data_file(name);
    t += "\n" + std::string(name) + ": ";
    if (!path) {
      t += "no encontrado\n";
      continue;
    }
    std::error_code ec;
    const std::filesystem::path where = std::filesystem::absolute(*path, ec);
    t += (ec ? *path : where.lexically_normal().string()) + "\n";
    const std::string_view n = name;
    if (n == ephem::kEphemerisFile) {
      t += ephemeris_lines(*path);
    } else if (n == astro::kUt1TableFile) {
      t += table_lines("UT1-UTC", astro::ut1_table_span(*path));
    } else if (n == astro::kDeltaTTableFile) {
      t += table_lines("Delta T", astro::delta_t_table_span(*path));
    }
  }
  return t;
}

// An argument as it can be shown on one line: control characters as '?'.
std::string printable(std::string_view arg) {
  std::string s(arg);
  for (char& c : s) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  return s;
}

int print(std::FILE* out, const std::string& text, int status) {
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (std::fflush(out) != 0 || !written) {
    std::fputs("zembrel: error de escritura\n", stderr);
    return kUsageError;
  }
  return status;
}

}  // namespace

std::optional<int> run_command_line(std::span<char* const> args, std::string_view version) {
  if (args.empty()) return std::nullopt;
  for (const char* arg : args) {
    const std::string_view a = arg;
    if (a != "--help" && a != "--version") {
      return print(stderr,
                   "zembrel: argumento desconocido '" + printable(a) +
                       "'\nPruebe 'zembrel --help' para mas informacion.\n",
                   kUsageError);
    }
  }
  const std::string_view first = args.front();
  return print(stdout, first == "--help" ? help_text() : version_text(version), 0);
}

}  // namespace zembrel::main
