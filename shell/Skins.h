#pragma once

// Installs skin sheet `index` (1..6) for the whole program. Any other index changes nothing.
void applySkinSheet(int index);
