"""The windows' layouts at one resolution as the program itself places them
(printed by the probe's "layout DPI" command, in client pixels), and the
names of the windows and controls that the tests reach: the window
designer's names, which the program's tables use too."""

MAIN, RESULTS, ERROR = "Form1", "Form2", "Form3"

# The main window.
ACCOUNT_LIST, PROFILE_BOX, FIRST_FOCUS_BOX = "List1", "Text2", "Text1"
MESSENGER_FOLDER_BOX, CONTACTS_FOLDER_BOX = "Text5", "Text6"
REPAIR_COVER, OPEN_MESSENGER_COVER, OPEN_CONTACTS_COVER = "Image1", "Image4", "Image6"
TEMP_LINK_COVER, RESET_WARNING = "Label3", "Label1"
# The results window.
RESULTS_MESSAGE, RELAUNCH_COVER, BACK_COVER = "Label1", "Image1", "Image4"
QUIT_PUSH_BUTTON, BACK_PUSH_BUTTON, RELAUNCH_PUSH_BUTTON = "Command1", "Command2", "Command3"
# The error window.
ERROR_MESSAGE, RETRY_COVER = "Label1", "Image1"

# A point of the main window where no control lies (right of the credit line,
# below the link), as a share of its client area: the pointer there is over
# the bare window.
BARE_MAIN_WINDOW = (0.96, 0.973)


class Layout:
    """The three windows' tables at one resolution."""

    def __init__(self, printed):
        self.dpi = printed["dpi"]
        self.forms = {form["name"]: form for form in printed["forms"]}

    def title(self, form):
        return self.forms[form]["title"]

    def form_titled(self, title):
        return next((name for name, form in self.forms.items() if form["title"] == title), None)

    def client_size(self, form):
        return tuple(self.forms[form]["client"])

    def controls(self, form, *kinds):
        return [c["name"] for c in self.forms[form]["controls"] if not kinds or c["kind"] in kinds]

    def rect(self, form, control):
        """Left, top, width and height in client pixels; a line gives both its ends' places."""
        return tuple(next(c["rect"] for c in self.forms[form]["controls"] if c["name"] == control))

    def point(self, form, share):
        """The client point at that share (0 to 1, across and down) of the window."""
        width, height = self.client_size(form)
        return round(share[0] * width), round(share[1] * height)

    def centre(self, form, control):
        left, top, width, height = self.rect(form, control)
        return left + width // 2, top + height // 2
