#pragma once
// What the program adds to the toolkit's accessibility: a group box is
// announced by its own caption; a label that shows data under a name of its
// own (the outgoing folder, a status, a field's value) is read with what it
// shows, and a change of what it shows is announced.

// Installs the program's accessible interfaces; runs once, before the first
// window is queried.
void installAccessibility();
