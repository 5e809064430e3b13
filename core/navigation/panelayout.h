#pragma once
// How wide the left pane is for a given split of the window.

class PaneLayout
{
public:
    // Both panes keep at least `minPane` when the window has room for two; when it has not, the
    // split is exactly even whatever `fraction` says. The right pane gets `total` minus the result.
    // Nonsense input never yields a width outside 0 … total: a total that isn't a positive finite
    // number gives 0, an unknown fraction (NaN) splits evenly, a negative or NaN minimum is 0.
    [[nodiscard]] static double leftWidth(double total, double fraction, double minPane);
};
