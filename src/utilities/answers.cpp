#include "utilities/answers.h"

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "io/record_io.h"

namespace zembrel::utilities {

namespace {

using Refusal = std::optional<std::string>;

// Reads `targets` until `refusal` finds nothing wrong with the answer; a
// refused answer is undone and its message goes to the screen.
void read_until_right(io::Targets targets, const std::function<Refusal()>& refusal) {
  for (;;) {
    const io::SavedTargets before(targets);
    io::read_keyboard(targets);
    const Refusal why = refusal();
    if (!why) return;
    before.restore();
    io::write_list(io::kScreen, {*why});
  }
}

// A packed value and what it may hold.
struct PackedField {
  const char* name;     // "Latitud"
  const char* of_name;  // "de la latitud", for its minutes and seconds
  const char* range;    // of the decimal value, or none
  double lowest, highest;
};

constexpr PackedField kTime{"Hora", "de la hora", "0 a 24", 0.0, 24.0};
constexpr PackedField kLatitude{"Latitud", "de la latitud", "-90 a 90", -90.0, 90.0};
constexpr PackedField kLongitude{"Longitud", "de la longitud", "-180 a 180", -180.0, 180.0};
constexpr PackedField kAltitude{"Altura", "de la altura", nullptr, 0.0, 0.0};

Refusal packed_refusal(double packed, const PackedField& f, std::string_view answer) {
  const astro::PackedFault fault = astro::packed_fault(packed);
  if (f.range != nullptr && fault == astro::PackedFault::unreadable) {
    return refusal_text(f.name, f.range, answer);
  }
  if (fault == astro::PackedFault::minutes || fault == astro::PackedFault::unreadable) {
    return refusal_text(std::string("Minutos ") + f.of_name, "0 a 59", answer);
  }
  if (fault == astro::PackedFault::seconds) {
    return refusal_text(std::string("Segundos ") + f.of_name, "menos de 60", answer);
  }
  const double v = astro::ddmmss_to_degree_c(packed);
  if (f.range != nullptr && !(v >= f.lowest && v <= f.highest)) return refusal_text(f.name, f.range, answer);
  return std::nullopt;
}

// A decimal value from `lowest` to `highest` (not a number never is).
Refusal decimal_refusal(double v, double lowest, double highest, const char* field, const char* range,
                        std::string_view answer) {
  if (v >= lowest && v <= highest) return std::nullopt;
  return refusal_text(field, range, answer);
}

Refusal course_refusal(double degrees, std::string_view answer, const char* field) {
  return decimal_refusal(degrees, 0.0, 360.0, field, "0 a 360", answer);
}

}  // namespace

std::string refusal_text(std::string_view field, std::string_view range, std::string_view answer) {
  return std::string(field) + " fuera de rango (" + std::string(range) + "): vuelva a escribir " +
         std::string(answer);
}

void read_date(int& day, int& month, int& year) {
  read_until_right({&day, &month, &year}, [&]() -> Refusal {
    if (month < 1 || month > 12) return refusal_text("Mes", "1 a 12", "la fecha");
    const int days = astro::days_in_month(year, month);
    if (day < 1 || day > days) return refusal_text("Dia", "1 a " + std::to_string(days), "la fecha");
    return std::nullopt;
  });
}

void read_time(double& packed) {
  read_until_right({&packed}, [&] { return packed_refusal(packed, kTime, "la hora"); });
}

void read_longitude(double& packed) {
  read_until_right({&packed}, [&] { return packed_refusal(packed, kLongitude, "la longitud"); });
}

void read_position(double& latitude, double& longitude) {
  constexpr const char* kAnswer = "latitud y longitud";
  read_until_right({&latitude, &longitude}, [&] {
    const Refusal why = packed_refusal(latitude, kLatitude, kAnswer);
    return why ? why : packed_refusal(longitude, kLongitude, kAnswer);
  });
}

void read_reading(double& time, double& altitude) {
  constexpr const char* kAnswer = "la medida";
  read_until_right({&time, &altitude}, [&] {
    const Refusal why = packed_refusal(time, kTime, kAnswer);
    return why ? why : packed_refusal(altitude, kAltitude, kAnswer);
  });
}

void read_azimuth(double& degrees) {
  read_until_right({&degrees}, [&] { return course_refusal(degrees, "el azimut", "Azimut"); });
}

void read_speed_and_course(double& speed, double& course) {
  read_until_right({&speed, &course}, [&] { return course_refusal(course, "velocidad y rumbo", "Rumbo"); });
}

void read_height(double& metres) {
  read_until_right({&metres}, [&] {
    return decimal_refusal(metres, 0.0, std::numeric_limits<double>::max(), "Altura del observador",
                           "0 metros o mas", "la altura");
  });
}

void read_weather(double& pressure, double& temperature) {
  constexpr const char* kAnswer = "presion y temperatura";
  read_until_right({&pressure, &temperature}, [&] {
    const Refusal why = decimal_refusal(pressure, 800.0, 1100.0, "Presion", "800 a 1100 hPa", kAnswer);
    return why ? why : decimal_refusal(temperature, -60.0, 60.0, "Temperatura", "-60 a 60 C", kAnswer);
  });
}

}  // namespace zembrel::utilities
