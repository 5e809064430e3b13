#pragma once
// How a click changes a column's selection: the clicked entry alone, the clicked entry added or
// removed (Ctrl), or the run from the anchor to the clicked entry (Shift).

enum class SelectMode { single, toggle, range };
