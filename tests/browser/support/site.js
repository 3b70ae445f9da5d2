// The page under test: the built site served over http (module scripts and image textures are
// refused from file://) and opened in Debian's headless Chromium.
'use strict';
const { spawn } = require('node:child_process');
const path = require('node:path');
const { chromium } = require('playwright-core');

const repositoryRoot = path.resolve(__dirname, '../../..');
const siteFolder = path.resolve(process.env.PIXELWRIGHT_SITE || path.join(repositoryRoot, 'build-web/site'));
const chromiumPath = process.env.PIXELWRIGHT_CHROMIUM || '/usr/lib/chromium/chromium';

// Starts python3's static server on a port the system picks, and resolves to its address.
function serve(folder) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', folder],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  return new Promise((resolve, reject) => {
    let said = '';
    const timer = setTimeout(() => fail(new Error(`http.server said nothing useful in 10 s: ${said}`)), 10000);
    function fail(error) { clearTimeout(timer); server.kill(); reject(error); }
    server.stdout.on('data', (chunk) => {
      said += chunk;
      const port = /port (\d+)/.exec(said);
      if (port) { clearTimeout(timer); resolve({ server, address: `http://127.0.0.1:${port[1]}` }); }
    });
    server.stderr.on('data', (chunk) => { said += chunk; });
    server.on('exit', (code) => fail(new Error(`http.server exited (${code}): ${said}`)));
  });
}

// One served site and one browser for a test file (args: Chromium's extra switches; hasTouch: a
// touch screen). open(query) loads the page afresh and waits for its script interface; errors the
// page threw are kept for the failure messages.
async function openSite({ args = [], hasTouch = false } = {}) {
  const { server, address } = await serve(siteFolder);
  let browser;
  try {
    browser = await chromium.launch({ executablePath: chromiumPath, args });
  } catch (error) {
    server.kill();
    throw error;
  }
  const context = await browser.newContext({ viewport: { width: 1280, height: 1000 }, hasTouch });
  const page = await context.newPage();
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(String(error)));
  page.on('console', (message) => {
    // Chromium asks every page for a favicon; the site has none.
    if (message.type() === 'error' && !message.location().url.endsWith('/favicon.ico')) pageErrors.push(message.text());
  });

  // After one page that never offered its interface, the others fail at once rather than each
  // waiting out the timeout.
  let neverReady = null;
  async function open(query = '') {
    if (neverReady) throw new Error(`${neverReady} (earlier in this file)`);
    pageErrors.length = 0;
    await page.goto(`${address}/index.html${query}`);
    try {
      await page.waitForFunction(() => window.pixelwright, null, { timeout: 20000 });
    } catch (error) {
      neverReady = `window.pixelwright never appeared at ${page.url()}; page errors: ${pageErrors.join(' | ') || 'none'}`;
      throw new Error(neverReady);
    }
  }
  // Errors the page threw or logged since it was opened: an event handler that throws shows here.
  function assertNoPageErrors() {
    if (pageErrors.length) throw new Error(`the page reported errors: ${pageErrors.join(' | ')}`);
  }
  async function close() {
    await browser.close();
    server.kill();
  }
  return { page, address, open, close, assertNoPageErrors };
}

module.exports = { openSite, repositoryRoot, siteFolder };
