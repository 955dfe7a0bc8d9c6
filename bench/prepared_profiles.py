# The benchmarks' Messenger data: several prepared Messenger folders in the
# prefix's own profile (Wine sets USERPROFILE itself), renamed into place one
# at a time, and the account tree that the deletion benchmarks remove.
import os
import shutil
import subprocess


class Profiles:
    def __init__(self, prefix):
        users = os.path.join(prefix, "drive_c", "users")
        user = next(name for name in sorted(os.listdir(users)) if name != "Public")
        self.profile = os.path.join(users, user)
        self.windows_profile = "C:\\users\\" + user
        self.data = os.path.join(self.profile, "Local Settings", "Application Data", "Microsoft")
        self.messenger = os.path.join(self.data, "Messenger")
        self.contacts = os.path.join(self.data, "Windows Live Contacts")
        self.windows_messenger = self.windows_profile + "\\Local Settings\\Application Data\\Microsoft\\Messenger"
        self.active = None  # which prepared Messenger folder is in place

    def prepare(self, sets):
        """sets: name -> account names; each becomes one Messenger folder."""
        os.makedirs(os.path.join(self.profile, "Local Settings", "Temp"), exist_ok=True)
        os.makedirs(self.contacts, exist_ok=True)
        for name in os.listdir(self.data):
            if name == "Messenger" or name.startswith("Messenger."):
                shutil.rmtree(os.path.join(self.data, name))
        for name, accounts in sets.items():
            folder = os.path.join(self.data, "Messenger." + name)
            os.makedirs(folder)
            for account in accounts:
                os.makedirs(os.path.join(folder, account))
        self.active = None
        subprocess.run(["sync"])

    def use(self, name):
        if self.active == name:
            return
        if self.active is not None:
            os.rename(self.messenger, os.path.join(self.data, "Messenger." + self.active))
        os.rename(os.path.join(self.data, "Messenger." + name), self.messenger)
        self.active = name

    def add_accounts(self, accounts, contacts=True):
        for account in accounts:
            os.makedirs(os.path.join(self.messenger, account), exist_ok=True)
            if contacts:
                os.makedirs(os.path.join(self.contacts, account), exist_ok=True)

    def remove_contacts(self, accounts):
        for account in accounts:
            shutil.rmtree(os.path.join(self.contacts, account), ignore_errors=True)

    def account_folders(self, account):
        return os.path.join(self.messenger, account), os.path.join(self.contacts, account)

    def build_tree(self, account):
        """The account's two folders: 20,000 files in 500 folders, and a small
        Contacts folder. The same bytes every time."""
        messenger, contacts = self.account_folders(account)
        for folder in (messenger, contacts):
            if os.path.lexists(folder):
                shutil.rmtree(folder)
        payload = b"x" * 200
        for store in range(20):
            store_folder = os.path.join(messenger, f"Store{store:02d}")
            folders = [store_folder] + [os.path.join(store_folder, f"Item{item:02d}") for item in range(24)]
            for folder in folders:
                os.makedirs(folder)
                for n in range(40):
                    with open(os.path.join(folder, f"f{n:02d}.dat"), "wb") as f:
                        f.write(payload)
        os.makedirs(os.path.join(contacts, "DBStore"))
        for n in range(10):
            with open(os.path.join(contacts, "DBStore", f"c{n}.edb"), "wb") as f:
                f.write(payload)
        subprocess.run(["sync"])
