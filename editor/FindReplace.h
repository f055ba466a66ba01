#pragma once
// Find and replace in the editor's pane.

class EditorFindReplace {
public:
    virtual ~EditorFindReplace() = default;
};
