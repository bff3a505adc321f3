#pragma once

// The pictures and the style sheet are compiled into a static library; this makes sure the linker
// keeps them. Safe to call more than once.
void initKv847Resources();
