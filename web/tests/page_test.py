"""The page in a real browser (Debian's Chromium through Selenium), opened as
a file:// URL the way a coder opens it from a shared drive: given the demo
tables and a generated input, it must download the .grp and .err files the
native batch writes, byte for byte, explain a rejected summary by its
errors, and send no request anywhere.

Usage: page_test.py SITE_DIR TABLE_DIR INPUT GRP ERR TODAY SCREENSHOT_DIR
(web/tests/run_tests.sh prepares the files with the native programs).
"""

import functools
import http.server
import json
import os
import re
import shutil
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions as ready
from selenium.webdriver.support.ui import WebDriverWait

SITE, TABLES, INPUT, GRP, ERR, TODAY, SHOTS = sys.argv[1:8]
TABLE_FILES = ["arbressr.tab", "ccamcssr.tab", "diag10sr.tab"]


def start_browser(profile, language):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--window-size=1280,1600",
                 f"--user-data-dir={profile}", f"--lang={language}"]:
        options.add_argument(flag)
    options.add_experimental_option("prefs", {"intl.accept_languages": language})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class PageTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.downloads = os.path.join(self.scratch.name, "downloads")
        os.mkdir(self.downloads)
        self.browser = start_browser(os.path.join(self.scratch.name, "profile"), "en-GB")
        self.browser.execute_cdp_cmd("Page.setDownloadBehavior",
                                     {"behavior": "allow", "downloadPath": self.downloads})
        self.browser.get("file://" + os.path.join(SITE, "index.html"))

    def tearDown(self):
        self.browser.quit()
        self.scratch.cleanup()

    def run_page(self):
        b = self.browser
        b.find_element(By.ID, "tables").send_keys(
            "\n".join(os.path.join(TABLES, name) for name in TABLE_FILES))
        b.find_element(By.ID, "input").send_keys(INPUT)
        today = b.find_element(By.ID, "today")
        today.clear()
        today.send_keys(TODAY)
        b.find_element(By.ID, "run").click()
        WebDriverWait(b, 120).until(
            ready.presence_of_element_located((By.CSS_SELECTOR, "a#download-grp[href]")))

    def download(self, link_id):
        link = self.browser.find_element(By.ID, link_id)
        name = link.get_attribute("download")
        link.click()
        path = os.path.join(self.downloads, name)
        deadline = time.time() + 30
        while time.time() < deadline:
            if os.path.exists(path) and not os.path.exists(path + ".crdownload"):
                with open(path, "rb") as f:
                    return f.read()
            time.sleep(0.1)
        self.fail(f"{name} was not downloaded")

    def requests_sent(self):
        urls = []
        for entry in self.browser.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.append(message["params"]["request"]["url"])
        return urls

    def test_outputs_are_the_batch_outputs_and_nothing_leaves(self):
        self.run_page()
        b = self.browser
        with open(GRP, "rb") as f:
            self.assertEqual(self.download("download-grp"), f.read(), ".grp differs")
        with open(ERR, "rb") as f:
            self.assertEqual(self.download("download-err"), f.read(), ".err differs")
        counters = {c.get_attribute("data-counter"): int(c.get_attribute("data-value"))
                    for c in b.find_elements(By.CSS_SELECTOR, "#cards [data-counter]")}
        self.assertEqual(sorted(counters), ["NbErrBloq", "NbErrForm", "NbErrNonBloq", "NbLus"])
        with open(INPUT, "rb") as f:
            self.assertEqual(counters["NbLus"], f.read().count(b"\n"))
        # The list of the summaries with an error: one row each, blocked or
        # not.
        rows = self.download("download-rejected").decode().splitlines()
        self.assertEqual(rows[0], "line,establishment,stay,week,unit,blocking,non_blocking")
        self.assertEqual(len(rows) - 1, counters["NbErrBloq"] + counters["NbErrNonBloq"])

        # The first blocked summary, opened: its errors are those of its row.
        row = next(r for r in b.find_elements(By.CSS_SELECTOR, "#rejected tbody tr")
                   if r.find_elements(By.TAG_NAME, "td")[5].text)
        blocking = row.find_elements(By.TAG_NAME, "td")[5].text
        row.find_element(By.CSS_SELECTOR, "button.explain").click()
        WebDriverWait(b, 30).until(
            ready.presence_of_element_located((By.CSS_SELECTOR, "#explanation li[data-error]")))
        explained = {e.get_attribute("data-error")
                     for e in b.find_elements(By.CSS_SELECTOR, "#explanation li[data-error]")}
        for number in blocking.split(", "):
            self.assertIn(number, explained)
        self.assertTrue(b.find_elements(By.CSS_SELECTOR, "#explained-line mark.blocking"))
        b.save_screenshot(os.path.join(SHOTS, "page-explained.png"))

        # Any line by its number, read again from the file: the last one
        # with non-blocking errors only, as the .err file lists them.
        with open(ERR, encoding="cp1252", newline="") as f:
            entries = re.findall(r"Enregistrement n\xb0 (\d+)\r\n.*\r\n"
                                 r"\t->  Liste des erreurs bloquantes: \r\n"
                                 r"\t->  Liste des erreurs non bloquantes: (.+),\r\n", f.read())
        line, numbers = entries[-1]
        b.find_element(By.ID, "explain-line").send_keys(line)
        b.find_element(By.ID, "explain-go").click()
        WebDriverWait(b, 30).until(ready.text_to_be_present_in_element(
            (By.CSS_SELECTOR, "#explanation h3"), f" {line}"))
        explained = [e.get_attribute("data-error")
                     for e in b.find_elements(By.CSS_SELECTOR, "#explanation li[data-error]")]
        self.assertEqual(explained, numbers.split(","))

        # The report is shown, with the counters of the run.
        b.switch_to.frame(b.find_element(By.ID, "report"))
        shown = b.find_element(By.CSS_SELECTOR, "[data-counter='NbLus']").text
        self.assertEqual(int(shown.replace(",", "").replace("\u202f", "").replace(" ", "")),
                         counters["NbLus"])
        b.switch_to.default_content()

        # Nothing but the page's own file, its worker and its downloads (and
        # the browser's own new tab, chrome://, before the page was opened).
        for url in self.requests_sent():
            self.assertTrue(url.startswith(("file://", "blob:", "data:", "chrome://")), url)

    def test_policy_refuses_requests(self):
        refused = self.browser.execute_async_script("""
            const done = arguments[0];
            fetch('http://127.0.0.1:9/').then(() => done('sent'), () => done('refused'));""")
        self.assertEqual(refused, "refused")
        violations = [e for e in self.browser.get_log("browser")
                      if "Content Security Policy" in e["message"]]
        self.assertTrue(violations, "the refusal must come from the policy")

    def test_module_from_a_page_and_a_worker_over_http(self):
        served = os.path.join(self.scratch.name, "served")
        os.mkdir(served)
        shutil.copy(os.path.join(SITE, "grulo.mjs"), served)
        with open(os.path.join(served, "worker.mjs"), "w") as f:
            f.write("import {load} from './grulo.mjs';\n"
                    "load().then((g) => postMessage(g.version));\n")
        with open(os.path.join(served, "page.html"), "w") as f:
            f.write("<!DOCTYPE html><script type=module>\n"
                    "import {load, version} from './grulo.mjs';\n"
                    "const worker = new Worker('worker.mjs', {type: 'module'});\n"
                    "worker.onmessage = async (e) => {\n"
                    "  document.title = `${(await load()).version} ${e.data} ${version}`;\n"
                    "};\n</script>\n")
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=served)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            self.browser.get(f"http://127.0.0.1:{server.server_port}/page.html")
            WebDriverWait(self.browser, 30).until(lambda b: b.title)
            version = self.browser.title.split()[0]
            self.assertRegex(version, r"^\d+\.\d+\.\d+$")
            self.assertEqual(self.browser.title, f"{version} {version} {version}")
        finally:
            server.shutdown()
            server.server_close()

    def test_french_browser_gets_french(self):
        self.browser.quit()
        self.browser = start_browser(os.path.join(self.scratch.name, "profile-fr"), "fr-FR")
        self.browser.get("file://" + os.path.join(SITE, "index.html"))
        self.assertEqual(self.browser.find_element(By.ID, "run").text, "Grouper")
        self.browser.save_screenshot(os.path.join(SHOTS, "page-fr.png"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
