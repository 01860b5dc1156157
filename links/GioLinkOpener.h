#pragma once

#include "links/LinkOpener.h"

namespace vistrel {

// Opens a target with the default handler of its URI scheme (mimeapps.list and desktop entries,
// read by GIO). When there is none, or it fails, the target goes to the default handler of HTML
// documents, if that handler lists HTML or web addresses itself and needs no terminal: its Exec
// command up to the target placeholder, with the target appended as one argument, started
// directly, never through a shell.
class GioLinkOpener final : public LinkOpener {
  public:
    int OpenLink(const std::string& target) override;
};

}  // namespace vistrel
