#pragma once

class QString;

namespace vistrel {

// "关于" ("About") followed directly by as much of the window caption as fits in 79 bytes of
// UTF-8, ending on a whole character.
QString AboutTooltipText(const QString& caption);

}  // namespace vistrel
