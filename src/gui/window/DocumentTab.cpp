#include "gui/window/DocumentTab.h"

#include "gui/editbox/RichTextBox.h"

bool DocumentTab::isBlank() const
{
    return commands->fileName().isEmpty() && !commands->unsaved() && box->TextLength() == 0;
}
