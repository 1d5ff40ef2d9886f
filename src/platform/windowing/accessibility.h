#pragma once
// What the program adds to the toolkit's accessibility: a group box is
// announced by its own caption.

// Installs the program's accessible interfaces; runs once, before the first
// window is queried.
void installAccessibility();
