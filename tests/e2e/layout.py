"""The windows' layouts as the program's own tables hold them (printed by the
probe's "layout" command), in twips, and where they fall in pixels at a
resolution; the names of the windows and controls that the tests reach."""

MAIN, RESULTS, ERROR = "Form1", "Form2", "Form3"

# Main window.
ACCOUNT_LIST = "List1"
PROFILE_BOX = "Text2"
FIRST_FOCUS_BOX = "Text1"
MESSENGER_FOLDER_BOX = "Text5"
CONTACTS_FOLDER_BOX = "Text6"
RESET_WARNING = "Label1"
REPAIR_COVER, REPAIR_BUTTON = "Image1", "Image2"
OPEN_MESSENGER_COVER, OPEN_MESSENGER_BUTTON = "Image4", "Image3"
OPEN_CONTACTS_COVER, OPEN_CONTACTS_BUTTON = "Image6", "Image5"
TEMP_LINK_COVER, TEMP_LINK = "Label3", "Label5"
# Results window: the relaunch pair shows its glow at rest.
RELAUNCH_COVER, RELAUNCH_BUTTON = "Image1", "Image2"
BACK_COVER, BACK_BUTTON = "Image4", "Image3"
RESULTS_MESSAGE = "Label1"
RELAUNCH_PUSH, BACK_PUSH, QUIT_PUSH = "Command3", "Command2", "Command1"
# Error window.
RETRY_COVER, RETRY_BUTTON = "Image1", "Image2"
ERROR_MESSAGE = "Label1"

TWIPS_PER_INCH = 1440


def pixels(twips, dpi):
    """Twips to the nearest pixel, halves away from zero, as the program rounds."""
    scaled = twips * dpi
    half = TWIPS_PER_INCH // 2
    return (scaled + half) // TWIPS_PER_INCH if scaled >= 0 else -((half - scaled) // TWIPS_PER_INCH)


class Layout:
    """The three windows' tables at one resolution."""

    def __init__(self, tables, dpi):
        self.tables, self.dpi = tables, dpi
        self.forms = {form["name"]: form for form in tables}

    def at(self, dpi):
        return Layout(self.tables, dpi)

    def title(self, form):
        return self.forms[form]["title"]

    def form_titled(self, title):
        return next((name for name, form in self.forms.items() if form["title"] == title), None)

    def client_size(self, form):
        return tuple(pixels(t, self.dpi) for t in self.forms[form]["client"])

    def controls(self, form, *kinds):
        return [c["name"] for c in self.forms[form]["controls"] if not kinds or c["kind"] in kinds]

    def rect(self, form, control):
        """Left, top, width and height in client pixels; a line gives both its ends' places."""
        spec = next(c for c in self.forms[form]["controls"] if c["name"] == control)
        left, top, width, height = spec["twips"]
        x, y = pixels(left, self.dpi), pixels(top, self.dpi)
        if spec["kind"] == "Line":
            return x, y, pixels(left + width, self.dpi) - x, pixels(top + height, self.dpi) - y
        return x, y, pixels(width, self.dpi), pixels(height, self.dpi)

    def point(self, x_twips, y_twips):
        return pixels(x_twips, self.dpi), pixels(y_twips, self.dpi)

    def centre(self, form, control):
        left, top, width, height = self.rect(form, control)
        return left + width // 2, top + height // 2
