"""The top-level windows and their child controls as the probe reads them from
the running program, each of the program's own named as its table names it."""


class Control:
    """A child control: hwnd, cls, text, rect (left, top, width, height in
    client pixels), visible, and in the program's windows its name; a list
    box also items, selected, itemHeight, topIndex."""

    def __init__(self, data):
        self.__dict__.update(data, cls=data["class"], rect=tuple(data["rect"]))

    def __repr__(self):
        return "<%s %r at %s>" % (self.cls, self.text, self.rect)

    def row_centre(self, index):
        """Where a list box shows its item of that index, once scrolled into view."""
        left, top, width, _ = self.rect
        return left + width // 2, top + 2 + (index - self.topIndex) * self.itemHeight + self.itemHeight // 2


class Window:
    """A top-level window: hwnd, title, cls, pid, visible, frame (screen left,
    top, width, height), client (screen left, top, then width, height), focus
    and controls; the program's own windows also know their form's layout."""

    def __init__(self, data, layout):
        self.__dict__.update(data, cls=data["class"], frame=tuple(data["frame"]), client=tuple(data["client"]),
                             focus=data.get("focus"), controls=[Control(c) for c in data["controls"]])
        self.layout, self.form = layout, layout.form_titled(data["title"])

    @property
    def client_size(self):
        return self.client[2], self.client[3]

    def rect(self, name):
        """A control's client rectangle from the window's layout."""
        return self.layout.rect(self.form, name)

    def centre(self, name):
        return self.layout.centre(self.form, name)

    def control(self, name):
        """The child window of that windowed control, which the probe names."""
        found = [c for c in self.controls if getattr(c, "name", None) == name]
        if not found:
            raise AssertionError("no child named %r in %r: %r" % (name, self.title, self.controls))
        return found[0]

    def focused(self):
        return next((c for c in self.controls if c.hwnd == self.focus), None)

    def list_box(self):
        return next(c for c in self.controls if c.cls.lower() == "listbox")
