#pragma once
// Text cells rendered once and kept between paints. A cell's pixels depend only on
// its text and its two colours (the text is opaque), and the editors draw the same
// few hundred texts on the same few backgrounds every time, so a paint mostly copies
// finished cells instead of laying out text again.

#include "editors/Color.h"

#include <QFont>
#include <QImage>

#include <string>
#include <string_view>
#include <unordered_map>

namespace vantreel {

class TextCellCache {
public:
    explicit TextCellCache(const QFont& font);

    // User-interface thread. The text's cells, kCharWidth x kTextHeight pixels per
    // character: filled with `paper`, glyphs in `ink`, nothing outside.
    const QImage& Cells(std::string_view text, Color ink, Color paper);
    const QFont& Font() const { return font; }

private:
    QImage Render(std::string_view text, Color ink, Color paper) const;

    QFont font;
    int baseline;    // from the top of the cell
    std::string key; // reused, so a hit allocates nothing
    std::unordered_map<std::string, QImage> cells;
};

} // namespace vantreel
