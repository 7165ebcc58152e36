#pragma once

#include <QString>

class EditBox;
class Prompts;

// Selects the first occurrence of a text in the whole document, letter case
// ignored, and returns its position; otherwise tells the user and returns
// -1. An empty text finds nothing and tells nothing.
int FindInDocument(EditBox &box, Prompts &prompts, const QString &text);
