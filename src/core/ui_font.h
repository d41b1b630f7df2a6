#pragma once

namespace dovrel {

// Chooses the display font and the text-conversion mode from the OEM code
// page: 936 keeps Simplified Chinese ("宋体", no conversion); any other code
// page switches to a Traditional font ("新細明體") and conversion on.
void SelectUiFont();

}  // namespace dovrel
