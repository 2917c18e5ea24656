#!/usr/bin/env python3
"""Boots the rehearsal rescue medium in QEMU (TCG) and walks the tool through
the backup and the restore the way an operator would: the screen is read
(screendump + tesseract), the tablet clicks and the keyboard types. The
guest's own evidence (mounts, swaps, LVM, stand-in logs) comes over ttyS1.

usage: boot_test.py --mode bios|uefi|secboot [--usb] [--lang en|ru]
                    --iso IMAGE --disks CACHE --out FOLDER --source SRC"""

import argparse
import os
import re
import sys
import time
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from vm import Machine, TestFailure  # noqa: E402

# Power-on to the tool's window, in seconds, under TCG on a shared machine.
WINDOW_LIMIT = int(os.environ.get("SV_MEDIUM_WINDOW_LIMIT", "420"))


class Texts:
    """The tool's own texts in the language of the walk, from its catalogue."""

    def __init__(self, source, lang):
        self.lang = lang
        self.table = {}
        if lang == "en":
            return
        path = os.path.join(source, "svkey2", "translations", "svkey2_%s.ts" % lang)
        for ctx in ET.parse(path).getroot():
            name = ctx.findtext("name")
            for m in ctx.findall("message"):
                tr = m.find("translation")
                if tr is not None and tr.text:
                    self.table[(name, m.findtext("source"))] = tr.text

    def __call__(self, context, text):
        return self.table.get((context, text), text) if self.lang != "en" else text


def log(*args):
    print("[%s]" % time.strftime("%H:%M:%S"), *args, flush=True)


def check(cond, what):
    if not cond:
        raise TestFailure(what)


class Walk:
    def __init__(self, args):
        self.args = args
        self.tr = Texts(args.source, args.lang)
        self.langs = "rus+eng" if args.lang == "ru" else "eng"
        self.m = None
        self.times = {}
        self.env = {}
        with open(os.path.join(args.disks, "disks.env")) as f:
            for line in f:
                k, _, v = line.strip().partition("=")
                self.env[k] = v

    # --- screen helpers ---------------------------------------------------------
    def wait(self, phrases, timeout=90, name=None):
        return self.m.wait_text(phrases, timeout, name, self.langs)

    def click_text(self, phrase, timeout=90, name=None, settle=1.5):
        _, box, _ = self.wait(phrase, timeout, name)
        self.m.click_box(box)
        time.sleep(settle)
        return box

    def field_after(self, box):
        """Centre of the input box right of a label: the first strong edge
        right of the label's text on its middle row, then a bit inside."""
        pic = self.m.screen()
        y = box[1] + box[3] // 2
        x = box[0] + box[2] + 4
        bg = pic.pixel(x, y)
        while x < pic.width - 10:
            p = pic.pixel(x, y)
            if sum(abs(a - b) for a, b in zip(p, bg)) > 60:
                return x + 25, y
            x += 1
        self.m.fail("no input field right of the label at %s" % (box,))

    def type_into(self, label, text, secret=False):
        _, box, _ = self.wait(label, 30)
        x, y = self.field_after(box)
        self.m.click(x, y)
        time.sleep(0.5)
        self.m.keys("ctrl", "a")
        self.m.keys("backspace")
        self.m.type(text)
        time.sleep(0.5)
        log("typed into %r: %s" % (label, "***" if secret else text))

    def forward(self, name=None):
        self.click_text(self.tr("CustomLocalPageInStackView", "forward"), 30, name)

    # --- guest evidence ---------------------------------------------------------
    def evidence(self, tag):
        ev = self.m.dump(tag)
        disks = {}
        for line in ev.get("lsblk", []):
            f = line.split(" ")
            if len(f) >= 2 and f[1] == "disk":
                disks[f[0]] = f[4] if len(f) > 4 else ""
        ev["_disks"] = disks
        return ev

    def target_disks(self, ev):
        """(disk 1, disk 2, medium's disk or None) by their transports."""
        d1 = [n for n, t in ev["_disks"].items() if t == "sata"]
        d2 = [n for n, t in ev["_disks"].items() if t == "nvme"]
        usb = [n for n, t in ev["_disks"].items() if t == "usb"]
        check(len(d1) == 1 and len(d2) == 1, "disks seen by the guest: %s" % ev["_disks"])
        return d1[0], d2[0], (usb[0] if usb else None)

    def check_untouched(self, ev, when):
        d1, d2, _ = self.target_disks(ev)
        touched = [line for line in ev.get("mounts", [])
                   if re.match(r"/dev/(%s|%s|mapper/vg_)" % (d1, d2), line)
                   or "vg_web01" in line or "vg_nvme" in line]
        check(not touched, "%s: the machine's disks are mounted: %s" % (when, touched))
        swaps = [line for line in ev.get("swaps", []) if line.strip() and not line.startswith("Filename")]
        check(not swaps, "%s: swap is on: %s" % (when, swaps))

    def vgs(self, ev):
        return sorted({line.split(":")[1].strip() for line in ev.get("pvs", [])
                       if ":" in line and line.split(":")[1].strip()})

    # --- the walk ---------------------------------------------------------------
    def boot(self):
        a = self.args
        self.m = Machine(os.path.join(a.out, "vm"), a.mode, a.iso,
                         os.path.join(a.disks, "disk1.qcow2"), os.path.join(a.disks, "disk2.qcow2"),
                         usb=a.usb, log=log)
        log("powered on:", " ".join(self.m.cmd))
        welcome = ["Welcome to the disaster recovery program",
                   "Добро пожаловать в программу аварийного восстановления"]
        self.m.wait_text(welcome, WINDOW_LIMIT, None, "eng+rus", interval=4)
        self.times["window"] = self.m.elapsed()
        log("the tool's window after %.0f s" % self.times["window"])
        pic = self.m.screen("welcome")
        # The window fills the screen: no pixel of the bare X root (black)
        # along the screen's edges.
        edge = [pic.pixel(x, y) for x in range(0, pic.width, 7) for y in (0, pic.height - 1)]
        edge += [pic.pixel(x, y) for y in range(0, pic.height, 7) for x in (0, pic.width - 1)]
        black = sum(1 for p in edge if max(p) < 12)
        check(black < len(edge) // 20, "the window does not fill the screen (%d of %d edge pixels black)"
              % (black, len(edge)))
        ev = self.evidence("boot")
        self.check_untouched(ev, "after boot, before any input")
        d1, d2, usb = self.target_disks(ev)
        check(sorted(self.vgs(ev)) == ["vg_nvme", "vg_web01"], "volume groups at boot: %s" % self.vgs(ev))
        check(not a.usb or usb, "the USB medium is not among the guest's disks: %s" % ev["_disks"])
        self.disk1, self.disk2, self.usb_disk = d1, d2, usb
        log("disks: installed system %s, NVMe %s, medium %s" % (d1, d2, usb))

    def start(self):
        tr = self.tr
        if self.args.lang == "ru":
            # The language combo shows the current language; pick "Ru".
            self.pick_combo("Choose language", "Ru")
        self.click_text(tr("WelcomePage", "Start"), 30, "welcome-" + self.args.lang)

    def pick_combo(self, label, entry):
        _, box, _ = self.wait([label, self.tr("WelcomePage", label)], 30)
        x, y = self.field_after(box)
        self.m.click(x, y)
        time.sleep(1.5)
        _, ebox, _ = self.m.wait_text(entry, 20, None, self.langs + "+eng" if self.langs == "rus" else self.langs)
        self.m.click_box(ebox)
        time.sleep(1.5)

    def open_combo_entries(self, combo_text):
        """Opens the combo that shows `combo_text`, returns the entries' text."""
        _, box, _ = self.wait(combo_text, 30)
        self.m.click_box(box)
        time.sleep(1.5)
        return self.m.read(self.m.screen("combo-open"), self.langs)

    def backup(self):
        tr = self.tr
        t0 = self.m.elapsed()
        self.click_text(tr("ScenarioSelectionPage", "Backup"), 60, "scenario")
        self.wait(tr("BackupChoosingDevicePage", "Choose local drive contains / in backup device"), 60,
                  "backup-device")
        # The drive combo offers the machine's disks and never the medium's own.
        words = self.open_combo_entries(self.disk1)
        check(words.find(self.disk2), "the NVMe disk %s is not offered" % self.disk2)
        if self.usb_disk:
            check(not words.find(self.usb_disk), "the medium's own disk %s is offered" % self.usb_disk)
        self.m.keys("esc")
        time.sleep(1)
        # The LVM root partition, then forward.
        self.click_text("vg_web01-root", 30, None)
        self.forward("backup-device-chosen")
        self.wait(tr("BackupDiskInfoPage", "Choose mounted directories that should be in backup"), 120,
                  "backup-diskinfo")
        self.mark_rows(["/boot"])
        self.forward("backup-marked")
        self.wait(tr("BackupConfirmingPage", "Mounted directories"), 60, "backup-confirm")
        self.click_text(tr("BackupConfirmingPage", "Create image"), 30)
        done = tr("BackupCreatingPage", "Creating backup ended successfully")
        failed = tr("BackupCreatingPage", "Creating backup failed. See log for more info")
        phrase, _, _ = self.wait([done, failed], 600, "backup-end")
        check(phrase == done, "the backup failed on the screen")
        self.times["backup"] = self.m.elapsed() - t0
        ev = self.evidence("after-backup")
        self.check_untouched(ev, "after the backup")
        calls = ev.get("calls.log", [])
        want = "sv_archives -c /dev/%s -m rescue_image" % self.disk1
        check(any(want in c for c in calls), "no %r among the stand-ins' calls:\n%s" % (want, "\n".join(calls)))
        check(any("sarvelin_client start" in c for c in calls), "the local client was never started")
        log("backup done in %.0f s" % self.times["backup"])

    def mark_rows(self, rows):
        pass  # filled once the page's layout is known

    def again(self):
        """From the exit page back to the welcome page: "Exit", and the
        session starts the tool again."""
        self.click_text(self.tr("ExitPage", "Exit"), 60, "backup-exit")
        welcome = self.tr("WelcomePage", "Start")
        self.wait(welcome, 180, "welcome-again")
        self.click_text(welcome, 30)

    def restore(self):
        tr = self.tr
        t0 = self.m.elapsed()
        self.click_text(tr("ScenarioSelectionPage", "Restore"), 60, "scenario-restore")
        self.wait(tr("RestoreChoosingServerPage", "Sarvelin server"), 60)
        self.type_into(tr("RestoreChoosingServerPage", "Sarvelin server"), "10.0.2.2")
        self.type_into(tr("RestoreChoosingServerPage", "Sarvelin key password"), "key-secret", secret=True)
        self.click_text(tr("RestoreChoosingServerPage", "Connect"), 30, "restore-server")
        self.wait(tr("RestoreChoosingServerPage", "Disconnect"), 120, "restore-connected")
        self.forward()
        self.wait(tr("RestoreAvailableBackupsPage", "Client hostname"), 120, "restore-backups")
        self.click_text("web01 rescue image, Monday", 60)
        self.forward("restore-backup-chosen")
        self.wait(tr("RestoreSettingsPage", "Restore target"), 60, "restore-settings")
        # The target: the NVMe disk; the combo never offers the medium's disk.
        words = self.open_combo_entries(self.disk1)
        if self.usb_disk:
            check(not words.find(self.usb_disk), "the medium's own disk %s is offered as a target" % self.usb_disk)
        box = words.find(self.disk2)
        check(box, "the NVMe disk %s is not offered as a target" % self.disk2)
        self.m.click_box(box)
        time.sleep(1.5)
        self.type_into(tr("RestoreSettingsPage", "Enter client's password"), "web01-secret", secret=True)
        self.forward("restore-settings-done")
        self.wait(tr("RestoreConfirmingPage", "Selected backup"), 60, "restore-confirm")
        self.click_text(tr("RestoreConfirmingPage", "Restore"), 30)
        # The LVM question names the NVMe disk's group and nothing of disk 1.
        _, box, words = self.wait(tr("CustomQuestionDialog", "Yes"), 180, "restore-lvm-question")
        text = words.text()
        check("vg_nvme" in text, "the LVM question does not name vg_nvme:\n" + text)
        check("vg_web01" not in text, "the LVM question names disk 1's group vg_web01:\n" + text)
        self.m.click_box(box)
        done = tr("RestoreProcessPage", "Recovery ended successfully")
        failed = tr("RestoreProcessPage", "Recovery failed. See log for more info")
        phrase, _, _ = self.wait([done, failed], 600, "restore-end")
        check(phrase == done, "the restore failed on the screen")
        self.times["restore"] = self.m.elapsed() - t0
        ev = self.evidence("after-restore")
        check(self.vgs(ev) == ["vg_web01"], "volume groups after the restore: %s (pvs: %s)"
              % (self.vgs(ev), ev.get("pvs")))
        reqs = ev.get("requests.log", [])
        want = ":/dev/%s:1001" % self.disk2
        check(any("SV KEY RESTORE ARCHIVES" in r and want in r for r in reqs),
              "no restore request for %s among:\n%s" % (want, "\n".join(reqs[-20:])))
        check(not any("web01-secret" in r for r in reqs), "the client password travels in clear")
        self.check_untouched(ev, "after the restore")
        log("restore done in %.0f s" % self.times["restore"])

    def run(self):
        try:
            self.boot()
            self.start()
            self.backup()
            self.again()
            self.restore()
        finally:
            if self.m:
                log("console tail:\n" + self.m.console()[-1500:])
                self.m.stop()
        log("times:", self.times)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--mode", required=True, choices=["bios", "uefi", "secboot"])
    p.add_argument("--usb", action="store_true")
    p.add_argument("--lang", default="en", choices=["en", "ru"])
    p.add_argument("--iso", required=True)
    p.add_argument("--disks", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--source", required=True)
    args = p.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if not os.path.exists(args.iso):
        print("medium image %s is missing: skipped" % args.iso)
        return 77
    try:
        Walk(args).run()
    except TestFailure as e:
        log("FAILED:", e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
