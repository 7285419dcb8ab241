#include "main/menu.h"

#include "ephem/planets.h"
#include "io/record_io.h"
#include "io/stops.h"
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::main {

namespace {

using io::kScreen;

void write_banner() {
  io::write_list(kScreen);
  io::write_list(kScreen, {"       UTILIDADES PARA ZEMBREL"});
  io::write_list(kScreen);
  io::write_list(kScreen, {utilities::credit_line(50)});
  io::write_list(kScreen);
  io::write_list(kScreen, {utilities::web_line(46)});
  io::write_list(kScreen);
  utilities::write_warning(kScreen);
  io::write_list(kScreen);
  io::write_list(kScreen, {"   -----------------------------------------------"});
}

void write_menu() {
  io::write_list(kScreen);
  io::write_list(kScreen);
  io::write_list(kScreen, {"   Elige una opcion de entre las siguientes:"});
  io::write_list(kScreen);
  for (const char* line : {"   Transformacion de horas y fechas..................1",
                           "   Coordenadas y efemerides de un astro..............2",
                           "   Reconocimiento de un astro desconocido............3",
                           "   Determinante de la recta de altura................4",
                           "   Zembrel sin situacion de estima...................5",
                           "   Ecuacion del tiempo...............................6",
                           "   Preparacion observacion al crepusculo.............7",
                           "   Salir.............................................0"}) {
    io::write_list(kScreen, {line});
  }
  io::write_list(kScreen);
  io::write_list(kScreen);
}

int menu_loop() {
  write_banner();
  // The option survives from one menu pass to the next, so an answer that
  // leaves it unchanged ("/") repeats the last option (0 at the first menu).
  int option = 0;
  for (;;) {
    write_menu();
    io::connect_results();
    io::read_keyboard({&option});
    switch (option) {
      case 1: utilities::fechas_horas(); break;
      case 2: utilities::efem(); break;
      case 3: utilities::reconoce_parlanchin(); break;
      case 4: utilities::recta_altura(); break;
      case 5: utilities::zembrel(); break;
      case 6: utilities::ecuacion_tiempo(); break;
      case 7: utilities::prepara_crepusculo(); break;
      case 0:
        io::write_list(kScreen, {"Adios, hasta otra ocasion..."});
        io::close_results();
        io::write_list(kScreen);
        return 0;
      default:
        // Any other option ends the program at once; the results written so
        // far are already in the file.
        io::close_results();
        return 0;
    }
  }
}

}  // namespace

int run_program() {
  // A stop anywhere in a calculation ends here, with its report.
  try {
    return menu_loop();
  } catch (const ephem::CoordError& e) {
    io::write_list(kScreen, {"error en coord, ier= :", e.status()});
    return io::report_stop(e);
  } catch (const io::Stop& e) {
    return io::report_stop(e);
  } catch (const io::RuntimeError& e) {
    return io::report_stop(e);
  }
}

}  // namespace zembrel::main
