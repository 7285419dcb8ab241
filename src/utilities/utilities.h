// The seven menu utilities; each runs its own dialogue and returns to the menu.
#pragma once

namespace zembrel::utilities {

void fechas_horas();         // 1: dates and times, local and Greenwich
void efem();                 // 2: ephemeris of a body, rise/set/twilight/transit tables
void reconoce_parlanchin();  // 3: recognition of an unknown body
void recta_altura();         // 4: line of position from one sight
void zembrel();              // 5: fix from two or three sights without dead reckoning
void ecuacion_tiempo();      // 6: equation of time
void prepara_crepusculo();   // 7: planning of twilight star sights

}  // namespace zembrel::utilities
